// TForm15: the small status window shown, not modally, while the stub is
// copied into a self-decrypting output and while the self-check reads the
// program's file.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace tazu {

class TForm15 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm15(QWidget* parent = nullptr);

    // Sets the bar to 0, shows the window over owner with the two texts and
    // lets it paint.
    void ShowStatus(const QWidget* owner, const QString& caption, const QString& text);
    // Moves the bar (a position past 100 shows full) and lets it paint.
    void SetProgress(int position);
    void HideStatus();

    QLabel* StaticText1;  // status caption
    QLabel* StaticText2;  // status text
    QProgressBar* ProgressBar1;
};

}  // namespace tazu
