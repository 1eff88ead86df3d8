// TForm12: asks for a new protection password for the key store. It only
// changes the password in memory; the main window's protection switch writes
// the store once this window has closed.
#pragma once

#include <QDialog>

#include "ui/session.h"
#include "ui/window_table.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tazu {

class PasswordStrengthLine;

class TForm12 : public QDialog {
    Q_OBJECT
  public:
    TForm12(Session& session, Windows& windows, QWidget* parent = nullptr);

    // Shows the window modally, centred over the main window.
    void ShowPasswordWindow();

    QLabel* LabeledEdit1Label;  // "Введите новый пароль:"
    QLineEdit* LabeledEdit1;
    PasswordStrengthLine* StrengthLine;  // the new password's strength as typed
    QLabel* LabeledEdit2Label;  // "Введите подтверждение пароля:"
    QLineEdit* LabeledEdit2;
    QCheckBox* CheckBox1;       // "Скрыть пароль при вводе"
    QPushButton* SpeedButton1;  // "Сохранить"
    QPushButton* SpeedButton2;  // "Отмена"

    void SpeedButton1Click();
    void SpeedButton2Click();
    // Closing by the title bar or Escape counts as "Отмена": the switch must
    // not say "protected" while the store keeps the default password.
    void reject() override;

  private:
    void FormShow();
    void CheckBox1Click(bool checked);
    void LabeledEdit1KeyPress();
    void ClearEdits();

    Session& session_;
    Windows& windows_;
};

}  // namespace tazu
