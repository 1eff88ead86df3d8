#include "ui/unit8.h"

#include <QLineEdit>

#include "ui/widgets.h"

namespace tazu {

TForm8::TForm8(QWidget* parent) : PickerWindow(tr("Сохранить в"), false, parent) {
    setObjectName("TForm8");
}

bool TForm8::ChooseFolder(const QWidget* owner, const std::filesystem::path& start_folder,
                          QString& folder) {
    Prepare(owner, start_folder);
    FocusVisibly(MaskEdit1);
    if (exec() != QDialog::Accepted) {
        return false;
    }
    folder = MaskEdit1->text();
    return true;
}

}  // namespace tazu
