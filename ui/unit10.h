// TForm10: asked before the encrypt dialog replaces an existing file:
// "Заменить файл" or "Отменить шифрование". The window is made once and
// never reset, so the last choice stays selected for the rest of the run of
// the program.
#pragma once

#include "ui/choice_window.h"

namespace tazu {

class TForm10 : public ChoiceWindow {
    Q_OBJECT
  public:
    explicit TForm10(QWidget* parent = nullptr);

    QRadioButton* RadioButton1;  // "Заменить файл"
    QRadioButton* RadioButton2;  // "Отменить шифрование"
};

}  // namespace tazu
