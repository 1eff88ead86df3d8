// TForm13: the report list the encryption and decryption runs fill. Lines
// stay until the window closes; nothing else clears them.
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace tazu {

class TForm13 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm13(QWidget* main_window, QWidget* parent = nullptr);

    // Appends one report line.
    void AppendReportLine(const QString& line);
    bool HasReport() const;
    // Shows the report modally when it holds any text (after a successful
    // run's notification). The first time it is centred over the main
    // window; later it opens where it was last.
    void ShowReportIfAny();

    QPlainTextEdit* Memo1;
    QPushButton* SpeedButton1;  // "Закрыть"

    // Closing by any way (button, title bar, Escape) clears the report.
    void done(int result) override;

  protected:
    // Opens scrolled to the start of the first line.
    void showEvent(QShowEvent* event) override;
    // Enter closes the window, as Escape and Space on "Закрыть" do.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* main_window_;
    bool placed_ = false;
};

}  // namespace tazu
