// TForm3: "Шифрование", the encrypt dialog. Shows the chosen object,
// proposes the archive's name, takes the password (and its confirmation
// while passwords are hidden), asks before an existing file is replaced,
// runs the encryption with TForm4 in its place, and tells the outcome.
#pragma once

#include <QString>
#include <filesystem>

#include "encrypt/encrypt_host.h"
#include "ui/run_windows.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tazu {

class TForm3 : public RunDialog {
    Q_OBJECT
  public:
    TForm3(Session& session, Windows& windows, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;  // "Имя объектов шифрования:"
    QLabel* StaticText1;   // the object
    QLabel* LabeledEdit1Label;
    QLineEdit* LabeledEdit1;    // "Имя нового файла:"
    QPushButton* SpeedButton3;  // "Обзор"
    QGroupBox* GroupBox2;       // "Ввод пароля для защиты файла:"
    QLabel* LabeledEdit2Label;
    QLineEdit* LabeledEdit2;  // "Введите пароль:"
    QLabel* LabeledEdit3Label;
    QLineEdit* LabeledEdit3;    // "Введите подтверждение пароля:"
    QCheckBox* CheckBox1;       // "Скрыть пароль при вводе"
    QPushButton* SpeedButton2;  // "Шифрование"
    QPushButton* SpeedButton1;  // "Назад"

    // The run state kept from one run to the next.
    EncryptRunState& state() { return state_; }

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    // FormClose: every way of closing clears the password fields.
    void done(int result) override;

  protected:
    void FormShow() override;

  private:
    void FormCreate();
    void CheckBox1Click(bool checked);
    void LabeledEdit2KeyPress();
    void LabeledEdit3KeyPress();
    // The output name as a path: the proposal's own bytes while the field
    // shows it unchanged, else the field's text; a relative name lies in the
    // folder the proposal is in.
    std::filesystem::path ArchivePath() const;
    // The checks before anything is asked; false when a message ended it.
    bool RequestIsValid(const std::filesystem::path& archive);
    // Asks TForm10 when the output exists; false when the run is cancelled.
    bool MayReplace(const std::filesystem::path& archive);
    void Run(const std::filesystem::path& archive);
    void ClearPasswords();

    EncryptRunState state_;
    std::filesystem::path proposed_path_;
    QString proposed_text_;
};

}  // namespace tazu
