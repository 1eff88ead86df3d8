#include "ui/unit6.h"

#include <QLineEdit>

#include "ui/widgets.h"

namespace tazu {

TForm6::TForm6(QWidget* parent) : PickerWindow(tr("Сохранить как"), true, parent) {
    setObjectName("TForm6");
}

bool TForm6::ChooseOutputName(const QWidget* owner, const std::filesystem::path& object_folder,
                              QString& output_name) {
    Prepare(owner, object_folder);
    const qsizetype cut = output_name.lastIndexOf('/');
    MaskEdit1->setText(cut < 0 ? QString() : output_name.left(cut == 0 ? 1 : cut));
    MaskEdit2->setText(output_name.mid(cut + 1));
    FocusVisibly(MaskEdit2);
    if (exec() != QDialog::Accepted || MaskEdit1->text().isEmpty()) {
        return false;
    }
    QString folder = MaskEdit1->text();
    if (!folder.endsWith('/')) {
        folder += '/';
    }
    output_name = folder + MaskEdit2->text();
    return true;
}

}  // namespace tazu
