// TForm6: "Сохранить как", the encrypt dialog's picker for the output name:
// a folder (MaskEdit1) and a file name (MaskEdit2).
#pragma once

#include <QString>
#include <filesystem>

#include "ui/picker_window.h"

namespace tazu {

class TForm6 : public PickerWindow {
    Q_OBJECT
  public:
    explicit TForm6(QWidget* parent = nullptr);

    // Opens over owner with the lists on object_folder and the fields split
    // from output_name. On "Сохранить" with a folder given, output_name
    // becomes the folder, a "/" when it has none at its end, and the file
    // name; returns whether it changed. An empty folder field keeps the old
    // name.
    bool ChooseOutputName(const QWidget* owner, const std::filesystem::path& object_folder,
                          QString& output_name);
};

}  // namespace tazu
