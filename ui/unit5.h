// TForm5: the one-line notification with its "ОК" button.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace tazu {

class TForm5 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm5(QWidget* parent = nullptr);

    // Shows the message centred over owner, modally; returns when it closes.
    // What does not fit on the one line is not shown; each line break in
    // the message (a reason below it) adds a line.
    void ShowMessage(const QWidget* owner, const QString& message);

    QLabel* StaticText1;
    QPushButton* SpeedButton1;  // "ОК"

  protected:
    // Enter closes the window, as Escape and Space on "ОК" do.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    static constexpr int kWidth = 460;
    static constexpr int kHeight = 104;
    static constexpr int kFieldHeight = 28;
    static constexpr int kButtonTop = 58;

    void SpeedButton1Click();
};

}  // namespace tazu
