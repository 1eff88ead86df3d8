// TForm11: asked by an extraction run when an output file exists: replace,
// skip or cancel, with the box that applies the answer to every later case
// of the run. The decrypt dialog resets it before each run.
#pragma once

#include "ui/choice_window.h"

namespace tazu {

class TForm11 : public ChoiceWindow {
    Q_OBJECT
  public:
    explicit TForm11(QWidget* parent = nullptr);

    // Unchecked apply-to-all, "Заменить файл" checked.
    void Reset();

    QRadioButton* RadioButton1;  // "Заменить файл"
    QRadioButton* RadioButton2;  // "Пропустить файл (не заменять)"
    QRadioButton* RadioButton3;  // "Отменить расшифровывание"
};

}  // namespace tazu
