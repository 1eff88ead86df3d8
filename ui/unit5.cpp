#include "ui/unit5.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "ui/widgets.h"

namespace tazu {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName("TForm5");
    setWindowTitle(tr("Уведомление"));
    setFixedSize(460, 104);

    StaticText1 = new QLabel(this);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setWordWrap(false);
    StaticText1->setAlignment(Qt::AlignCenter);
    // A fixed field one line high: longer text is cut at its edges.
    StaticText1->setGeometry(12, 14, 436, 28);

    SpeedButton1 = MakeButton(tr("ОК"), this, "SpeedButton1");
    SpeedButton1->setGeometry(180, 58, 100, 32);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm5::SpeedButton1Click);
}

void TForm5::ShowMessage(const QWidget* owner, const QString& message) {
    if (owner != nullptr) {
        CentreOver(this, owner);
    }
    // A message that fits is centred; a longer one shows its beginning.
    const bool fits = StaticText1->fontMetrics().horizontalAdvance(message) <=
                      StaticText1->contentsRect().width();
    StaticText1->setAlignment(fits ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    StaticText1->setText(message);
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
