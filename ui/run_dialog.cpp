#include "ui/run_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "ui/unit1.h"
#include "ui/unit5.h"
#include "ui/widgets.h"

namespace tazu {
namespace {

QLabel* MakeValue(QWidget* parent, const char* name, const QLabel* caption) {
    auto* value = new QLabel(parent);
    value->setObjectName(QString::fromLatin1(name));
    value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    value->setMinimumWidth(170);
    value->setAccessibleName(caption->text());
    return value;
}

}  // namespace

ProgressWindow::ProgressWindow(const QString& caption, const QString& files_caption,
                               const QString& abort_caption, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(caption);
    GroupBox1 = new QGroupBox(tr("Ход шифрования:"), this);
    GroupBox1->setObjectName("GroupBox1");
    StaticText1 = new QLabel(files_caption, GroupBox1);
    StaticText1->setObjectName("StaticText1");
    StaticText2 = new QLabel(tr("Обработано байт:"), GroupBox1);
    StaticText2->setObjectName("StaticText2");
    StaticText3 = new QLabel(tr("Персональный код:"), GroupBox1);
    StaticText3->setObjectName("StaticText3");
    StaticText4 = MakeValue(GroupBox1, "StaticText4", StaticText1);
    StaticText5 = MakeValue(GroupBox1, "StaticText5", StaticText2);
    StaticText6 = MakeValue(GroupBox1, "StaticText6", StaticText3);
    SpeedButton1 = MakeButton(abort_caption, this, "SpeedButton1");

    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(StaticText1, 0, 0);
    grid->addWidget(StaticText4, 0, 1);
    grid->addWidget(StaticText2, 1, 0);
    grid->addWidget(StaticText5, 1, 1);
    grid->addWidget(StaticText3, 2, 0);
    grid->addWidget(StaticText6, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(SpeedButton1, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(SpeedButton1, &QPushButton::clicked, this, &ProgressWindow::AbortRequested);
}

void ProgressWindow::ShowProgress(const QWidget* owner) {
    adjustSize();
    CentreOver(this, owner);
    StaticText4->setText("0");
    StaticText5->setText("0");
    // The only window that takes input while the run goes on.
    setWindowModality(Qt::ApplicationModal);
    show();
    FocusVisibly(SpeedButton1);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    // The close box aborts like the button; the dialog hides this window.
    event->ignore();
    emit AbortRequested();
}

void ProgressWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();  // closeEvent: the abort
        return;
    }
    QWidget::keyPressEvent(event);
}

namespace {
std::function<bool()>& TestHold() {
    static std::function<bool()> hold;
    return hold;
}
}  // namespace

void EventPump::SetTestHold(std::function<bool()> hold) {
    TestHold() = std::move(hold);
}

void EventPump::Run() {
    if (TestHold()) {
        QApplication::processEvents();
        while (TestHold() && TestHold()()) {
            QThread::msleep(1);
            QApplication::processEvents();
        }
        clock_.restart();
        return;
    }
    if (clock_.elapsed() >= 20) {
        QApplication::processEvents();
        clock_.restart();
    }
}

RunDialog::RunDialog(Session& session, Windows& windows, const RunDialogCaptions& captions,
                     QWidget* parent)
    : QDialog(parent), session_(session), windows_(windows) {
    setWindowTitle(captions.window);
    GroupBox1 = new QGroupBox(captions.names, this);
    GroupBox1->setObjectName("GroupBox1");
    StaticText1 = new QLabel(GroupBox1);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setFixedWidth(480);
    StaticText1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabeledEdit1 = MakeLabeledEdit(captions.path, GroupBox1, "LabeledEdit1", &LabeledEdit1Label);
    LabeledEdit1->setMaxLength(255);
    SpeedButton3 = MakeButton(tr("Обзор"), GroupBox1, "SpeedButton3");

    GroupBox2 = new QGroupBox(tr("Ввод пароля для защиты файла:"), this);
    GroupBox2->setObjectName("GroupBox2");
    LabeledEdit2 =
        MakeLabeledEdit(tr("Введите пароль:"), GroupBox2, "LabeledEdit2", &LabeledEdit2Label);
    LimitToStr255(LabeledEdit2);
    CheckBox1 = new QCheckBox(tr("Скрыть пароль при вводе"), GroupBox2);
    CheckBox1->setObjectName("CheckBox1");
    SpeedButton2 = MakeButton(captions.start, this, "SpeedButton2");
    SpeedButton1 = MakeButton(tr("Назад"), this, "SpeedButton1");

    auto* names = new QGridLayout(GroupBox1);
    names->addWidget(StaticText1, 0, 0, 1, 2);
    names->addWidget(LabeledEdit1Label, 1, 0, 1, 2);
    names->addWidget(LabeledEdit1, 2, 0);
    names->addWidget(SpeedButton3, 2, 1);
    password_rows_ = new QVBoxLayout(GroupBox2);
    password_rows_->addWidget(LabeledEdit2Label);
    password_rows_->addWidget(LabeledEdit2);
    password_rows_->addWidget(CheckBox1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(SpeedButton2);
    buttons->addWidget(SpeedButton1);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab goes down the dialog as it reads; the password comes first on
    // opening, so the order starts there.
    QWidget::setTabOrder(LabeledEdit2, CheckBox1);
    QWidget::setTabOrder(CheckBox1, SpeedButton2);
    QWidget::setTabOrder(SpeedButton2, SpeedButton1);
    QWidget::setTabOrder(SpeedButton1, LabeledEdit1);
    QWidget::setTabOrder(LabeledEdit1, SpeedButton3);
    connect(SpeedButton1, &QPushButton::clicked, this, &RunDialog::SpeedButton1Click);
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this](bool checked) { CheckBox1Click(checked); });
}

void RunDialog::SpeedButton1Click() {
    if (!run_active_) {
        done(QDialog::Rejected);
    }
}

void RunDialog::done(int result) {
    ClearPasswords();
    QDialog::done(result);
}

void RunDialog::ClearPasswords() {
    ClearSecret(LabeledEdit2);
}

void RunDialog::SetObjectText(const QString& text) {
    StaticText1->setToolTip(text);
    StaticText1->setAccessibleDescription(text);
    StaticText1->setText(StaticText1->fontMetrics().elidedText(
        text, Qt::ElideMiddle, StaticText1->contentsRect().width() - 8));
}

void RunDialog::ProposePath(const std::filesystem::path& proposal) {
    proposed_path_ = proposal;
    proposed_text_ = PathText(proposal);
    LabeledEdit1->setText(proposed_text_);
}

std::filesystem::path RunDialog::PathField() const {
    const QString text = LabeledEdit1->text();
    return text == proposed_text_ ? proposed_path_
                                  : std::filesystem::path(text.toUtf8().toStdString());
}

void RunDialog::TakeHideSwitch() {
    CheckBox1->setChecked(windows_.form1->CheckBox4->isChecked());
    CheckBox1Click(CheckBox1->isChecked());  // also when it did not change
}

void RunDialog::CheckBox1Click(bool checked) {
    SetPasswordHidden(LabeledEdit2, checked);
}

void RunDialog::ShowDialog() {
    adjustSize();
    CentreOver(this, windows_.form1);
    FormShow();
    RunModal(this);
}

void RunDialog::ShowMessage(const QString& message) {
    windows_.form5->ShowMessage(this, message);
}

void RunDialog::SwapToProgress(ProgressWindow* progress) {
    hide();
    progress->ShowProgress(this);
}

void RunDialog::SwapToDialog(ProgressWindow* progress) {
    setWindowModality(Qt::ApplicationModal);
    show();
    progress->hide();
    activateWindow();
}

void RunDialog::reject() {
    if (!run_active_) {
        QDialog::reject();
    }
}

}  // namespace tazu
