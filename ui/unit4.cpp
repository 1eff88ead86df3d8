#include "ui/unit4.h"

namespace tazu {

TForm4::TForm4(QWidget* parent)
    : ProgressWindow("Ход шифрования", "Файлов зашифровано:", "Прервать шифрование", parent) {
    setObjectName("TForm4");
}

}  // namespace tazu
