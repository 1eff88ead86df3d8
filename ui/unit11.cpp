#include "ui/unit11.h"

#include <QCheckBox>
#include <QRadioButton>

namespace tazu {

TForm11::TForm11(QWidget* parent)
    : ChoiceWindow({tr("Заменить файл"), tr("Пропустить файл (не заменять)"),
                    tr("Отменить расшифровывание")},
                   tr("Применять этет ответ во всех подобнах случаях"), parent) {
    setObjectName("TForm11");
    RadioButton1 = RadioButtons[0];
    RadioButton2 = RadioButtons[1];
    RadioButton3 = RadioButtons[2];
}

void TForm11::Reset() {
    CheckBox1->setChecked(false);
    RadioButton1->setChecked(true);
    RadioButton2->setChecked(false);
}

}  // namespace tazu
