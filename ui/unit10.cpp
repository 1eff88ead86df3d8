#include "ui/unit10.h"

namespace tazu {

TForm10::TForm10(QWidget* parent)
    : ChoiceWindow({tr("Заменить файл"), tr("Отменить шифрование")}, QString(), parent) {
    setObjectName("TForm10");
    RadioButton1 = RadioButtons[0];
    RadioButton2 = RadioButtons[1];
}

}  // namespace tazu
