#include "ui/unit13.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "ui/widgets.h"

namespace tazu {

TForm13::TForm13(QWidget* main_window, QWidget* parent)
    : QDialog(parent), main_window_(main_window) {
    setObjectName("TForm13");
    setWindowTitle(tr("Уведомление"));
    setFixedSize(560, 360);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setAccessibleName(tr("Отчет"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    SpeedButton1 = MakeButton(tr("Закрыть"), this, "SpeedButton1");
    SpeedButton1->setFixedWidth(120);
    connect(SpeedButton1, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addWidget(SpeedButton1, 0, Qt::AlignHCenter);
}

void TForm13::AppendReportLine(const QString& line) {
    Memo1->appendPlainText(line);
}

bool TForm13::HasReport() const {
    return !Memo1->document()->isEmpty();
}

void TForm13::ShowReportIfAny() {
    if (!HasReport()) {
        return;
    }
    if (!placed_ && main_window_ != nullptr) {
        CentreOver(this, main_window_);
        placed_ = true;
    }
    FocusVisibly(SpeedButton1);
    exec();
}

void TForm13::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Appending left the view at the end of the last line; the report opens
    // at the start of its first, where each line says what it is about.
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->horizontalScrollBar()->setValue(0);
    Memo1->verticalScrollBar()->setValue(0);
}

void TForm13::done(int result) {
    Memo1->clear();
    QDialog::done(result);
}

void TForm13::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tazu
