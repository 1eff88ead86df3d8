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
    // What does not fit on the one line is not shown.
    void ShowMessage(const QWidget* owner, const QString& message);

    QLabel* StaticText1;
    QPushButton* SpeedButton1;  // "ОК"

  protected:
    // Enter closes the window, as Escape and Space on "ОК" do.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void SpeedButton1Click();
};

}  // namespace tazu
