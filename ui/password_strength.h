// The strength line under a password field: how long the password would
// hold against an offline guessing attack on an archive (the band and the
// attacker's time in words, and why a weak one is weak) over a bar coloured
// from red to green. It follows the field as the user types; it never stops
// anyone from using a weak password.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;

namespace tazu {

class PasswordStrengthLine : public QWidget {
    Q_OBJECT
  public:
    explicit PasswordStrengthLine(QWidget* parent, const char* object_name);

    // Shows the strength of the field's text now and at every change.
    void Watch(QLineEdit* field);
    // Shows the strength of password; an empty one shows nothing.
    void Update(const QString& password);

    QLabel* Text;       // "очень слабый: подбор за 9 минут" and the reason
    QProgressBar* Bar;  // one step per band
};

}  // namespace tazu
