#include "ui/unit4.h"

namespace tazu {

TForm4::TForm4(QWidget* parent)
    : ProgressWindow(tr("Ход шифрования"), tr("Файлов зашифровано:"), tr("Прервать шифрование"),
                     parent) {
    setObjectName("TForm4");
}

}  // namespace tazu
