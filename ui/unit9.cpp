#include "ui/unit9.h"

namespace tazu {

TForm9::TForm9(QWidget* parent)
    : ProgressWindow(tr("Расшифровывание"), tr("Файлов расшифровано:"),
                     tr("Прервать расшифровывание"), parent) {
    setObjectName("TForm9");
}

}  // namespace tazu
