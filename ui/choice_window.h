// The "Выбор действия" windows asked before an existing file is replaced:
// the path under "Файл уже существует:", a group of choices, an optional
// apply-to-all box and "ОК". TForm10 (encryption) and TForm11 (extraction)
// are this window with their own choices.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tazu {

class ChoiceWindow : public QDialog {
    Q_OBJECT
  public:
    // One radio button per choice, the first checked; with all_caption not
    // empty, an apply-to-all box under them.
    ChoiceWindow(const QStringList& choices, const QString& all_caption, QWidget* parent);

    // FormShow and the modal showing: the path shown (read-only), the window
    // centred over owner. True when "ОК" closed it; false when it was closed
    // by its close box or Escape, which the callers take as the safe answer
    // (cancel) without changing the selection.
    bool Ask(const QWidget* owner, const QString& path);

    // The index of the checked choice.
    int Choice() const;

    QLabel* LabeledEdit1Label;  // "Файл уже существует:"
    QLineEdit* LabeledEdit1;
    QGroupBox* GroupBox1;  // "Выберите действие:"
    std::vector<QRadioButton*> RadioButtons;
    QCheckBox* CheckBox1 = nullptr;  // apply to all, when there is one
    QPushButton* SpeedButton1;       // "ОК"

  private:
    void SpeedButton1Click();
};

}  // namespace tazu
