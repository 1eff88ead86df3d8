// What the encrypt and decrypt dialogs have in common: the progress window
// with its three counters and abort button (TForm4, TForm9), and the dialog
// side of a run (centring, the swap with the progress window, the guard
// against a second run, notifications centred over the dialog).
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "ui/session.h"
#include "ui/window_table.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace tazu {

// A progress window: "files" and "bytes" counters kept as the text of
// StaticText4 and StaticText5, the personal-code value in StaticText6, and
// the abort button. The abort button and the close box only ask for the
// abort (AbortRequested); the dialog swaps the windows and sets the flag.
class ProgressWindow : public QWidget {
    Q_OBJECT
  public:
    ProgressWindow(const QString& caption, const QString& files_caption,
                   const QString& abort_caption, QWidget* parent);

    // FormShow: centred over owner, both counters "0", shown above every
    // other window of the program.
    void ShowProgress(const QWidget* owner);

    QGroupBox* GroupBox1;       // "Ход шифрования:"
    QLabel* StaticText1;        // files caption
    QLabel* StaticText2;        // "Обработано байт:"
    QLabel* StaticText3;        // "Персональный код:"
    QLabel* StaticText4;        // files value
    QLabel* StaticText5;        // bytes value
    QLabel* StaticText6;        // personal-code value
    QPushButton* SpeedButton1;  // the abort button

  signals:
    void AbortRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape does what the close box does.
    void keyPressEvent(QKeyEvent* event) override;
};

// The engines let the window system run after every file and at every
// progress update. On a folder of many small files that alone would take
// most of the run's time, so the pump runs the window system at most every
// 20 ms: often enough for the counters to move and the abort button to
// answer at once.
class EventPump {
  public:
    EventPump() { clock_.start(); }
    void Run();

    // For tests: while a hold is set, every call runs the window system,
    // and goes on running it for as long as the hold returns true, so that
    // a test acts on a run at a point it chooses however fast the build
    // is. An empty hold ends this.
    static void SetTestHold(std::function<bool()> hold);

  private:
    QElapsedTimer clock_;
};

// What the dialog texts of one kind of run are.
struct RunDialogCaptions {
    QString window;  // "Шифрование", "Расшифровывание"
    QString names;   // the frame of the object and the path
    QString path;    // the path field's label
    QString start;   // the start button
};

// The dialog side of a run, and the controls both dialogs have: the object
// and a path (with "Обзор") in GroupBox1, the password and the hide switch
// in GroupBox2, the start button and "Назад".
class RunDialog : public QDialog {
    Q_OBJECT
  public:
    RunDialog(Session& session, Windows& windows, const RunDialogCaptions& captions,
              QWidget* parent);

    // Opens the dialog modally over the main window; returns when it closes.
    void ShowDialog();
    // A notification centred over this dialog.
    void ShowMessage(const QString& message);
    bool RunActive() const { return run_active_; }
    // The abort of the progress window: the dialog takes its place at once.
    void AbortRun(ProgressWindow* progress) { SwapToDialog(progress); }

    QGroupBox* GroupBox1;
    QLabel* StaticText1;  // the object
    QLabel* LabeledEdit1Label;
    QLineEdit* LabeledEdit1;    // the output file or the destination folder
    QPushButton* SpeedButton3;  // "Обзор"
    QGroupBox* GroupBox2;       // "Ввод пароля для защиты файла:"
    QLabel* LabeledEdit2Label;
    QLineEdit* LabeledEdit2;    // "Введите пароль:"
    QCheckBox* CheckBox1;       // "Скрыть пароль при вводе"
    QPushButton* SpeedButton2;  // the start button
    QPushButton* SpeedButton1;  // "Назад"

    // "Назад": clears the passwords and closes (not while a run is active).
    void SpeedButton1Click();
    // FormClose: every way of closing clears the passwords.
    void done(int result) override;

  protected:
    // FormShow: called each time the dialog opens, after the centring.
    virtual void FormShow() = 0;
    virtual void ClearPasswords();

    // The object as shown: a long path by its beginning and end, the whole
    // of it as a tip and as the accessible description.
    void SetObjectText(const QString& text);
    // The path field shows the proposal; PathField() gives its own bytes
    // while the field still shows it unchanged (names need not be UTF-8),
    // else the field's text.
    void ProposePath(const std::filesystem::path& proposal);
    std::filesystem::path PathField() const;
    // The main window's "Скрыть пароль при вводе." starts the switch, and is
    // applied as CheckBox1Click applies it.
    void TakeHideSwitch();
    // CheckBox1Click: the password masked with "*" while checked.
    virtual void CheckBox1Click(bool checked);

    // Hides the dialog and shows the progress window in its place.
    void SwapToProgress(ProgressWindow* progress);
    // Shows the dialog again and hides the progress window (at once after an
    // abort, or when the run is over).
    void SwapToDialog(ProgressWindow* progress);
    // While a run is active the dialog's buttons wait: a second run would
    // start inside the first, and closing would leave the run without its
    // dialog. The run marks itself with this guard.
    class RunGuard {
      public:
        explicit RunGuard(RunDialog& dialog) : dialog_(dialog) { dialog_.run_active_ = true; }
        ~RunGuard() { dialog_.run_active_ = false; }
        RunGuard(const RunGuard&) = delete;
        RunGuard& operator=(const RunGuard&) = delete;

      private:
        RunDialog& dialog_;
    };

    // Closing by the close box or Escape while a run is active waits too.
    void reject() override;

    Session& session_;
    Windows& windows_;
    // The password frame's column: a dialog adds its own fields above the
    // hide switch.
    QVBoxLayout* password_rows_;

  private:
    bool run_active_ = false;
    std::filesystem::path proposed_path_;
    QString proposed_text_;
};

}  // namespace tazu
