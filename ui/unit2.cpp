#include "ui/unit2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include "ui/unit1.h"
#include "ui/widgets.h"

namespace tazu {

TForm2::TForm2(Session& session, Windows& windows)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      session_(session),
      windows_(windows) {
    setObjectName("TForm2");
    setWindowTitle(tr("Чтение регистрационного ключа"));
    setFixedSize(380, 150);

    LabeledEdit1Label = new QLabel(tr("Введите пароль:"), this);
    LabeledEdit1Label->setGeometry(16, 10, 348, 22);
    LabeledEdit1 = new QLineEdit(this);
    LabeledEdit1->setObjectName("LabeledEdit1");
    LabeledEdit1->setGeometry(16, 34, 348, 28);
    LimitToStr255(LabeledEdit1);
    SetPasswordHidden(LabeledEdit1, true);
    LabeledEdit1Label->setBuddy(LabeledEdit1);

    StaticText1 = new QLabel(tr("Статус:"), this);
    StaticText1->setObjectName("StaticText1");
    // The caption's width follows the font, so larger fonts do not run it
    // into the status field.
    const int caption = StaticText1->fontMetrics().horizontalAdvance(StaticText1->text()) + 8;
    StaticText1->setGeometry(16, 72, caption, 24);
    StaticText2 = new QLabel(FromUtf8(Tr(kStatusEnterPassword)), this);
    StaticText2->setObjectName("StaticText2");
    StaticText2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText2->setGeometry(20 + caption, 72, 344 - caption, 24);

    SpeedButton1 = MakeButton(tr("Продолжить"), this, "SpeedButton1");
    SpeedButton1->setGeometry(70, 108, 116, 30);
    SpeedButton2 = MakeButton(tr("Выход"), this, "SpeedButton2");
    SpeedButton2->setGeometry(196, 108, 116, 30);

    connect(SpeedButton1, &QPushButton::clicked, this, &TForm2::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm2::SpeedButton2Click);
    // Enter in the password field presses "Продолжить".
    connect(LabeledEdit1, &QLineEdit::returnPressed, this, &TForm2::SpeedButton1Click);

    FormCreate();
}

void TForm2::FormCreate() {
    session_.random.Reseed();
    session_.key_store.emplace(session_.random);  // draws the mask key
    session_.password_attempt_counter = 0;
    if (LoadKeyStore(session_, Str255(), *this)) {
        windows_.form1->setEnabled(true);
    } else {
        ShowPrompt();
    }
}

void TForm2::ShowPrompt() {
    CentreOver(this, windows_.form1);
    // Kept above the main window by the window manager, even though the
    // main window is shown after it.
    windows_.form1->winId();
    winId();
    windowHandle()->setTransientParent(windows_.form1->windowHandle());
    show();
    FocusVisibly(LabeledEdit1);
}

void TForm2::SpeedButton1Click() {
    if (!SpeedButton1->isEnabled()) {
        return;
    }
    Str255 password = TextToStr255(LabeledEdit1->text());
    WipeOnExit wipe(password);
    if (LoadKeyStore(session_, password, *this)) {
        hide();
        windows_.form1->setEnabled(true);
    }
    ClearSecret(LabeledEdit1);
}

void TForm2::SpeedButton2Click() {
    session_.Terminate();
}

void TForm2::closeEvent(QCloseEvent* event) {
    event->accept();
    session_.Terminate();
}

bool TForm2::IsSwitchOn(LoadSwitch which) const {
    return windows_.form1->IsSwitchOn(which);
}

void TForm2::SetSwitch(LoadSwitch which, bool on) {
    windows_.form1->SetSwitch(which, on);
}

void TForm2::ShowStatus(std::string_view text) {
    StaticText2->setText(FromUtf8(text));
}

void TForm2::LockInput() {
    SpeedButton1->setEnabled(false);
    LabeledEdit1->setEnabled(false);
}

void TForm2::ProcessEvents() {
    QApplication::processEvents();
}

}  // namespace tazu
