#include "ui/run_windows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
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
    GroupBox1 = new QGroupBox("Ход шифрования:", this);
    GroupBox1->setObjectName("GroupBox1");
    StaticText1 = new QLabel(files_caption, GroupBox1);
    StaticText1->setObjectName("StaticText1");
    StaticText2 = new QLabel("Обработано байт:", GroupBox1);
    StaticText2->setObjectName("StaticText2");
    StaticText3 = new QLabel("Персональный код:", GroupBox1);
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

    connect(SpeedButton1, &QPushButton::clicked, this, &ProgressWindow::abortRequested);
}

void ProgressWindow::ShowProgress(const QWidget* owner) {
    adjustSize();
    CentreOver(this, owner);
    StaticText4->setText("0");
    StaticText5->setText("0");
    // The only window that takes input while the run goes on.
    setWindowModality(Qt::ApplicationModal);
    show();
    SpeedButton1->setFocus();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    // The close box aborts like the button; the dialog hides this window.
    event->ignore();
    emit abortRequested();
}

void EventPump::Run() {
    if (clock_.elapsed() >= 20) {
        QApplication::processEvents();
        clock_.restart();
    }
}

RunDialog::RunDialog(Session& session, Windows& windows, QWidget* parent)
    : QDialog(parent), session_(session), windows_(windows) {}

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
