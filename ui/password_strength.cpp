#include "ui/password_strength.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QVBoxLayout>

#include "password/guess_rate.h"
#include "password/password_texts.h"
#include "password/strength.h"
#include "ui/widgets.h"

namespace tazu {
namespace {

// Red, orange, yellow, green: very weak to strong.
const char* BarColour(StrengthBand band) {
    switch (band) {
        case StrengthBand::kVeryWeak:
            return "#d32f2f";
        case StrengthBand::kWeak:
            return "#f57c00";
        case StrengthBand::kMedium:
            return "#c9a400";
        case StrengthBand::kStrong:
            break;
    }
    return "#388e3c";
}

}  // namespace

PasswordStrengthLine::PasswordStrengthLine(QWidget* parent, const char* object_name)
    : QWidget(parent) {
    setObjectName(object_name);
    Text = new QLabel(this);
    Text->setObjectName("StrengthText");
    Text->setWordWrap(true);
    Text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the line and a reason over two lines, kept while the text
    // changes, so that the window does not jump as the user types.
    Text->setMinimumHeight(3 * Text->fontMetrics().lineSpacing());
    Bar = new QProgressBar(this);
    Bar->setObjectName("StrengthBar");
    Bar->setRange(0, 4);
    Bar->setValue(0);
    Bar->setTextVisible(false);
    Bar->setFixedHeight(6);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    rows->addWidget(Bar);
    rows->addWidget(Text);
    const QString name = tr("Надёжность пароля");
    setAccessibleName(name);
    Bar->setAccessibleName(name);
    Text->setAccessibleName(name);
}

void PasswordStrengthLine::Watch(QLineEdit* field) {
    connect(field, &QLineEdit::textChanged, this, &PasswordStrengthLine::Update);
    Update(field->text());
}

void PasswordStrengthLine::Update(const QString& password) {
    if (password.isEmpty()) {
        Text->clear();
        Text->setToolTip({});
        Bar->setValue(0);
        setAccessibleDescription({});
        return;
    }
    Str255 bytes = TextToStr255(password);
    WipeOnExit wipe(bytes);
    const StrengthEstimate estimate = EstimateStrength(bytes.view(), GuessesPerSecond());
    QString text = FromUtf8(StrengthLine(estimate));
    if (!estimate.feedback.empty()) {
        text += "\n" + FromUtf8(estimate.feedback);
    }
    Text->setText(text);
    // The numbers behind the words: the guesses and both speeds.
    Text->setToolTip(FromUtf8(StrengthReport(estimate)));
    Bar->setValue(static_cast<int>(estimate.band) + 1);
    Bar->setStyleSheet(
        QString("QProgressBar::chunk { background: %1; }").arg(BarColour(estimate.band)));
    setAccessibleDescription(text);
    Text->setAccessibleDescription(text);
}

}  // namespace tazu
