// TForm3: "Шифрование", the encrypt dialog. Shows the chosen object,
// proposes the archive's name, takes the password (and its confirmation
// while passwords are hidden), asks before an existing file is replaced,
// runs the encryption with TForm4 in its place, and tells the outcome.
#pragma once

#include <QString>
#include <filesystem>

#include "encrypt/encrypt_host.h"
#include "ui/run_dialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tazu {

class PasswordStrengthLine;

class TForm3 : public RunDialog {
    Q_OBJECT
  public:
    TForm3(Session& session, Windows& windows, QWidget* parent = nullptr);

    // Besides the shared controls: the confirmation, asked while the
    // password is hidden.
    QLabel* LabeledEdit3Label;
    QLineEdit* LabeledEdit3;  // "Введите подтверждение пароля:"
    // The password's strength as it is typed, and "Придумать пароль".
    PasswordStrengthLine* StrengthLine;
    QPushButton* GenerateButton;

    // The run state kept from one run to the next.
    EncryptRunState& state() { return state_; }

    void SpeedButton2Click();
    void SpeedButton3Click();
    // Puts a new passphrase in both fields and shows it once, to be written down.
    void GenerateButtonClick();

  protected:
    void FormShow() override;
    void ClearPasswords() override;
    void CheckBox1Click(bool checked) override;

  private:
    void FormCreate();
    void LabeledEdit2KeyPress();
    void LabeledEdit3KeyPress();
    // The output name as a path; a relative name lies in the folder of the
    // proposal.
    std::filesystem::path ArchivePath() const;
    // The checks before anything is asked; false when a message ended it.
    bool RequestIsValid(const std::filesystem::path& archive);
    // Asks TForm10 when the output exists; false when the run is cancelled.
    bool MayReplace(const std::filesystem::path& archive);
    void Run(const std::filesystem::path& archive);

    EncryptRunState state_;
};

}  // namespace tazu
