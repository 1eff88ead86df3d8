// TForm9: "Расшифровывание", shown in place of the decrypt dialog while a
// run goes on: entries handled, bytes written, the personal-code indicator
// ("Да", "Нет", "Да / Нет" or empty) and "Прервать расшифровывание".
#pragma once

#include "ui/run_dialog.h"

namespace tazu {

class TForm9 : public ProgressWindow {
    Q_OBJECT
  public:
    explicit TForm9(QWidget* parent = nullptr);
};

}  // namespace tazu
