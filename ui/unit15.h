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

    // One step each, in the order a run uses them: the bar to 0 and the
    // window shown over owner; the caption and the status text; the bar
    // moved (a position past 100 shows full). Each lets the window paint.
    void ShowWindow(const QWidget* owner);
    void SetCaption(const QString& caption);
    void SetText(const QString& text);
    void SetProgress(int position);
    void HideStatus();
    // ShowWindow, SetCaption and SetText together.
    void ShowStatus(const QWidget* owner, const QString& caption, const QString& text);

    QLabel* StaticText1;  // status caption
    QLabel* StaticText2;  // status text
    QProgressBar* ProgressBar1;
};

}  // namespace tazu
