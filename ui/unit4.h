// TForm4: "Ход шифрования", shown in place of the encrypt dialog while a run
// goes on: files and bytes done, whether the personal code is used, and
// "Прервать шифрование".
#pragma once

#include "ui/run_dialog.h"

namespace tazu {

class TForm4 : public ProgressWindow {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace tazu
