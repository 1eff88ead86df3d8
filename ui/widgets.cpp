#include "ui/widgets.h"

#include <QAbstractButton>
#include <QDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QValidator>

#include "ui/dialog_rules.h"
#include "ui/settings_byte.h"

namespace tazu {
namespace {

class Str255Validator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*pos*/) const override {
        return input.toUtf8().size() <= static_cast<qsizetype>(Str255::kCapacity) ? Acceptable
                                                                                  : Invalid;
    }
};

// Enter and the keypad's Enter press the focused button.
class EnterPresses : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QAbstractButton*>(watched);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || button == nullptr || !button->isEnabled() ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        if (!key->isAutoRepeat()) {
            button->click();
        }
        return true;
    }
};

}  // namespace

void ClickableImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
    }
    QLabel::mousePressEvent(event);
}

void LimitToStr255(QLineEdit* edit) {
    edit->setMaxLength(static_cast<int>(Str255::kCapacity));
    edit->setValidator(new Str255Validator(edit));
}

void SetPasswordHidden(QLineEdit* edit, bool hidden) {
    edit->setEchoMode(hidden ? QLineEdit::Password : QLineEdit::Normal);
    edit->setStyleSheet(hidden ? QStringLiteral("lineedit-password-character: 42;") : QString());
}

Str255 TextToStr255(const QString& text) {
    QByteArray bytes = text.toUtf8();
    const Str255 out = Str255::FromBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    bytes.fill('\0');
    return out;
}

void ClearSecret(QLineEdit* edit) {
    QString text = edit->text();
    edit->clear();
    text.fill(QChar(u'\0'));
}

void CentreOver(QWidget* window, const QWidget* owner) {
    const QRect o = owner->geometry();
    const QSize own = window->size();
    window->setGeometry(CentredOrigin(o.x(), o.width(), own.width()),
                        CentredOrigin(o.y(), o.height(), own.height()), own.width(), own.height());
}

QPushButton* MakeButton(const QString& caption, QWidget* parent, const char* object_name) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(object_name));
    button->setAutoDefault(false);
    button->setDefault(false);
    button->installEventFilter(new EnterPresses(button));
    return button;
}

void FocusVisibly(QWidget* control) {
    control->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    control->setFocus(Qt::TabFocusReason);
}

void NameByLabel(QLabel* label, QWidget* field) {
    label->setBuddy(field);
    field->setAccessibleName(label->text());
}

QLineEdit* MakeLabeledEdit(const QString& label, QWidget* parent, const char* object_name,
                           QLabel** label_out) {
    auto* caption = new QLabel(label, parent);
    caption->setObjectName(QString::fromLatin1(object_name) + "Label");
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(object_name));
    NameByLabel(caption, edit);
    if (label_out != nullptr) {
        *label_out = caption;
    }
    return edit;
}

void RunModal(QDialog* dialog) {
    dialog->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog->show();
    loop.exec(QEventLoop::DialogExec);
}

void AddToLabelNumber(QLabel* label, std::int64_t count) {
    label->setText(QString::number(label->text().toLongLong() + count));
}

QString ShownText(std::string_view text) {
    return FromUtf8(VisibleText(text));
}

QString PathText(const std::filesystem::path& path) {
    const std::string& native = path.native();
    return QString::fromUtf8(native.data(), static_cast<qsizetype>(native.size()));
}

}  // namespace tazu
