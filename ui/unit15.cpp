#include "ui/unit15.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "ui/widgets.h"

namespace tazu {

TForm15::TForm15(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName("TForm15");
    setWindowTitle(tr("Статус"));
    setFixedSize(360, 96);

    StaticText1 = new QLabel(this);
    StaticText1->setObjectName("StaticText1");
    // Wide enough for the caption "Статус:" in the current font.
    const int caption = StaticText1->fontMetrics().horizontalAdvance(tr("Статус:")) + 8;
    StaticText1->setGeometry(12, 12, caption, 24);

    StaticText2 = new QLabel(this);
    StaticText2->setObjectName("StaticText2");
    StaticText2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText2->setGeometry(16 + caption, 12, 332 - caption, 24);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setGeometry(12, 52, 336, 24);
}

void TForm15::ShowWindow(const QWidget* owner) {
    ProgressBar1->setValue(0);
    if (owner != nullptr) {
        CentreOver(this, owner);
    }
    show();
    QApplication::processEvents();
}

void TForm15::SetCaption(const QString& caption) {
    StaticText1->setText(caption);
    QApplication::processEvents();
}

void TForm15::SetText(const QString& text) {
    StaticText2->setText(text);
    QApplication::processEvents();
}

void TForm15::ShowStatus(const QWidget* owner, const QString& caption, const QString& text) {
    ShowWindow(owner);
    SetCaption(caption);
    SetText(text);
}

void TForm15::SetProgress(int position) {
    ProgressBar1->setValue(std::clamp(position, 0, 100));
    QApplication::processEvents();
}

void TForm15::HideStatus() {
    hide();
}

}  // namespace tazu
