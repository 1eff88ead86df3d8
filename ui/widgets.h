// Small pieces the windows share: a clickable picture, password fields that
// take at most 255 UTF-8 bytes, centring a window over its owner, and the
// conversions between the engine's bytes and the texts on screen.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <filesystem>
#include <string_view>

#include "cipher/str255.h"

class QPushButton;

namespace tazu {

// A picture that reports a left click.
class ClickableImage : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// Makes the edit refuse input that would make its text longer than 255
// bytes in UTF-8, the most a password can hold.
void LimitToStr255(QLineEdit* edit);

// Shows the typed characters as '*' (hidden) or in clear.
void SetPasswordHidden(QLineEdit* edit, bool hidden);

// The UTF-8 bytes of the text, at most 255 of them.
Str255 TextToStr255(const QString& text);

// Clears the text of a password field (the QString's buffer is overwritten
// first, so the typed password does not linger there).
void ClearSecret(QLineEdit* edit);

// Places window centred over owner (both measured by their client areas).
void CentreOver(QWidget* window, const QWidget* owner);

// A button for a dialog: Enter in a text field does not press it behind the
// window's back.
QPushButton* MakeButton(const QString& caption, QWidget* parent, const char* object_name);

// Engine text (UTF-8 bytes) as screen text.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A path as shown on screen (names that are not valid UTF-8 show with
// replacement characters; the path itself is kept as bytes elsewhere).
QString PathText(const std::filesystem::path& path);

}  // namespace tazu
