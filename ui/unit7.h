// TForm7: "Расшифровывание", the decrypt dialog. Shows the chosen archive,
// proposes its folder as the destination, takes the password, runs the
// extraction with TForm9 in its place and TForm11 for existing files, and
// tells the outcome. A wrong password counts towards the attempt counter it
// shares with the key-store prompt.
#pragma once

#include <QString>
#include <filesystem>

#include "decrypt/decrypt_host.h"
#include "ui/run_windows.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tazu {

class TForm7 : public RunDialog {
    Q_OBJECT
  public:
    TForm7(Session& session, Windows& windows, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;  // "Имя объектов:"
    QLabel* StaticText1;   // the archive
    QLabel* LabeledEdit1Label;
    QLineEdit* LabeledEdit1;    // "Путь для расшифровки:"
    QPushButton* SpeedButton3;  // "Обзор"
    QGroupBox* GroupBox2;       // "Ввод пароля для защиты файла:"
    QLabel* LabeledEdit2Label;
    QLineEdit* LabeledEdit2;    // "Введите пароль:"
    QCheckBox* CheckBox1;       // "Скрыть пароль при вводе"
    QPushButton* SpeedButton2;  // "Расшифровать"
    QPushButton* SpeedButton1;  // "Назад"

    // The run state kept from one run to the next.
    DecryptRunState& state() { return state_; }

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    // FormClose: every way of closing clears the password.
    void done(int result) override;

  protected:
    void FormShow() override;

  private:
    void FormCreate();
    void CheckBox1Click(bool checked);
    // The destination as a path: the proposal's own bytes while the field
    // shows it unchanged, else the field's text.
    std::filesystem::path Destination() const;
    void Run(const std::filesystem::path& destination);
    // The message of the run's outcome and what follows it; false when the
    // wrong-password rule closed the dialog.
    bool ShowOutcome(bool result, std::uint8_t code);

    DecryptRunState state_;
    std::filesystem::path proposed_path_;
    QString proposed_text_;
};

}  // namespace tazu
