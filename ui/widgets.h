// Small pieces the windows share: a clickable picture, password fields that
// take at most 255 UTF-8 bytes, centring a window over its owner, and the
// conversions between the engine's bytes and the texts on screen.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "cipher/str255.h"

class QDialog;
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
// window's back, while Enter on the button itself presses it, as Space does.
QPushButton* MakeButton(const QString& caption, QWidget* parent, const char* object_name);

// Gives the control the focus and shows it (the focus frame that otherwise
// appears only once Tab was pressed): the first control of a window that
// opens.
void FocusVisibly(QWidget* control);

// Names a field by its label: the label becomes its buddy (the Alt
// shortcut, screen readers) and its text the field's accessible name.
void NameByLabel(QLabel* label, QWidget* field);

// A label above its edit, as the dialogs lay out their fields; the edit is
// named by the label.
QLineEdit* MakeLabeledEdit(const QString& label, QWidget* parent, const char* object_name,
                           QLabel** label_out = nullptr);

// Shows the dialog modally over the whole program and returns once it is
// closed (done(), its close box, Escape). Unlike QDialog::exec, hiding the
// dialog does not end it: the dialogs hide while their progress window is
// up and come back afterwards.
void RunModal(QDialog* dialog);

// Adds count to the decimal number the label shows, reading the text back
// as the number (the progress counters are kept as their labels' text).
void AddToLabelNumber(QLabel* label, std::int64_t count);

// Engine text (UTF-8 bytes) as screen text.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Engine text that may hold names from an archive or the file system, as
// shown: control characters and bidirectional marks escaped.
QString ShownText(std::string_view text);

// A path as shown on screen (names that are not valid UTF-8 show with
// replacement characters; the path itself is kept as bytes elsewhere).
QString PathText(const std::filesystem::path& path);

}  // namespace tazu
