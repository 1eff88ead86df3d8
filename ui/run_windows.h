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

#include "ui/session.h"
#include "ui/windows.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace tazu {

// A progress window: "files" and "bytes" counters kept as the text of
// StaticText4 and StaticText5, the personal-code value in StaticText6, and
// the abort button. The abort button and the close box only ask for the
// abort (abortRequested); the dialog swaps the windows and sets the flag.
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
    void abortRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
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

  private:
    QElapsedTimer clock_;
};

// The dialog side of a run.
class RunDialog : public QDialog {
    Q_OBJECT
  public:
    RunDialog(Session& session, Windows& windows, QWidget* parent);

    // Opens the dialog modally over the main window; returns when it closes.
    void ShowDialog();
    // A notification centred over this dialog.
    void ShowMessage(const QString& message);
    bool RunActive() const { return run_active_; }
    // The abort of the progress window: the dialog takes its place at once.
    void AbortRun(ProgressWindow* progress) { SwapToDialog(progress); }

  protected:
    // FormShow: called each time the dialog opens, after the centring.
    virtual void FormShow() = 0;
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

  private:
    bool run_active_ = false;
};

}  // namespace tazu
