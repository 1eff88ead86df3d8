#include "ui/unit9.h"

namespace tazu {

TForm9::TForm9(QWidget* parent)
    : ProgressWindow("Расшифровывание", "Файлов расшифровано:", "Прервать расшифровывание",
                     parent) {
    setObjectName("TForm9");
}

}  // namespace tazu
