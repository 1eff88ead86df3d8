#include "ui/unit5.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "ui/widgets.h"

namespace tazu {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm5");
    setWindowTitle(tr("Уведомление"));
    setFixedSize(kWidth, kHeight);

    StaticText1 = new QLabel(this);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setWordWrap(false);
    StaticText1->setAlignment(Qt::AlignCenter);
    // A fixed field one line high: longer text is cut at its edges.
    StaticText1->setGeometry(12, 14, kWidth - 24, kFieldHeight);

    SpeedButton1 = MakeButton(tr("ОК"), this, "SpeedButton1");
    SpeedButton1->setGeometry(180, kButtonTop, 100, 32);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm5::SpeedButton1Click);
}

void TForm5::ShowMessage(const QWidget* owner, const QString& message) {
    // A reason given below the message (a second line) makes the field and
    // the window one line taller.
    const int extra_lines = static_cast<int>(message.count('\n'));
    const int extra = extra_lines * StaticText1->fontMetrics().lineSpacing();
    setFixedSize(kWidth, kHeight + extra);
    StaticText1->setGeometry(12, 14, kWidth - 24, kFieldHeight + extra);
    SpeedButton1->move(SpeedButton1->x(), kButtonTop + extra);
    if (owner != nullptr) {
        CentreOver(this, owner);
    }
    // A message that fits is centred; a longer one shows its beginning.
    int widest = 0;
    for (const QString& line : message.split('\n')) {
        widest = std::max(widest, StaticText1->fontMetrics().horizontalAdvance(line));
    }
    const bool fits = widest <= StaticText1->contentsRect().width();
    StaticText1->setAlignment(fits ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    StaticText1->setText(message);
    FocusVisibly(SpeedButton1);
    exec();
}

void TForm5::SpeedButton1Click() {
    accept();
}

void TForm5::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tazu
