#include "ui/unit12.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/password_strength.h"
#include "ui/unit1.h"
#include "ui/unit5.h"
#include "ui/widgets.h"

namespace tazu {

TForm12::TForm12(Session& session, Windows& windows, QWidget* parent)
    : QDialog(parent), session_(session), windows_(windows) {
    setObjectName("TForm12");
    setWindowTitle(tr("Ввод пароля"));
    setFixedSize(400, 270);

    LabeledEdit1Label = new QLabel(tr("Введите новый пароль:"), this);
    LabeledEdit1Label->setGeometry(16, 10, 368, 22);
    LabeledEdit1 = new QLineEdit(this);
    LabeledEdit1->setObjectName("LabeledEdit1");
    LabeledEdit1->setGeometry(16, 32, 368, 28);
    LimitToStr255(LabeledEdit1);
    LabeledEdit1Label->setBuddy(LabeledEdit1);
    StrengthLine = new PasswordStrengthLine(this, "StrengthLine");
    StrengthLine->setGeometry(16, 64, 368, 60);
    StrengthLine->Watch(LabeledEdit1);

    LabeledEdit2Label = new QLabel(tr("Введите подтверждение пароля:"), this);
    LabeledEdit2Label->setGeometry(16, 126, 368, 22);
    LabeledEdit2 = new QLineEdit(this);
    LabeledEdit2->setObjectName("LabeledEdit2");
    LabeledEdit2->setGeometry(16, 148, 368, 28);
    LimitToStr255(LabeledEdit2);
    SetPasswordHidden(LabeledEdit2, true);
    LabeledEdit2Label->setBuddy(LabeledEdit2);

    CheckBox1 = new QCheckBox(tr("Скрыть пароль при вводе"), this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(16, 186, 368, 24);

    SpeedButton1 = MakeButton(tr("Сохранить"), this, "SpeedButton1");
    SpeedButton1->setGeometry(84, 224, 110, 30);
    SpeedButton2 = MakeButton(tr("Отмена"), this, "SpeedButton2");
    SpeedButton2->setGeometry(206, 224, 110, 30);

    connect(CheckBox1, &QCheckBox::toggled, this, &TForm12::CheckBox1Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm12::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm12::SpeedButton2Click);
    connect(LabeledEdit1, &QLineEdit::returnPressed, this, &TForm12::LabeledEdit1KeyPress);
    connect(LabeledEdit2, &QLineEdit::returnPressed, this, &TForm12::SpeedButton1Click);
}

void TForm12::ShowPasswordWindow() {
    CentreOver(this, windows_.form1);
    FormShow();
    exec();
    ClearEdits();  // FormClose
}

void TForm12::FormShow() {
    CheckBox1->setChecked(windows_.form1->CheckBox4->isChecked());
    CheckBox1Click(CheckBox1->isChecked());
    FocusVisibly(LabeledEdit1);
}

void TForm12::CheckBox1Click(bool checked) {
    // The confirmation is only asked for while the password is hidden.
    SetPasswordHidden(LabeledEdit1, checked);
    LabeledEdit2->setEnabled(checked);
}

void TForm12::LabeledEdit1KeyPress() {
    if (CheckBox1->isChecked()) {
        LabeledEdit2->setFocus();
    } else {
        SpeedButton1Click();
    }
}

void TForm12::SpeedButton1Click() {
    LabeledEdit1->setFocus();
    if (CheckBox1->isChecked() && LabeledEdit1->text() != LabeledEdit2->text()) {
        windows_.form5->ShowMessage(this, tr("Введенные пароли не совпадают"));
        ClearEdits();
        return;
    }
    Str255 password = TextToStr255(LabeledEdit1->text());
    WipeOnExit wipe(password);
    session_.key_store->SetProtectionPassword(password);
    ClearEdits();
    accept();
    if (password.empty()) {
        windows_.form1->CheckBox1->setChecked(false);  // its reaction turns protection off
    }
}

void TForm12::SpeedButton2Click() {
    ClearEdits();
    accept();
    windows_.form1->CheckBox1->setChecked(false);  // protection off
}

void TForm12::reject() {
    SpeedButton2Click();
}

void TForm12::ClearEdits() {
    ClearSecret(LabeledEdit1);
    ClearSecret(LabeledEdit2);
}

}  // namespace tazu
