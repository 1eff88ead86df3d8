// TForm8: "Сохранить в", the decrypt dialog's picker for the destination
// folder (MaskEdit1); the file list is there for orientation only.
#pragma once

#include <QString>
#include <filesystem>

#include "ui/picker_window.h"

namespace tazu {

class TForm8 : public PickerWindow {
    Q_OBJECT
  public:
    explicit TForm8(QWidget* parent = nullptr);

    // Opens over owner with the lists on start_folder. On "Сохранить" the
    // folder field's text goes to folder and true is returned; "Отмена"
    // changes nothing.
    bool ChooseFolder(const QWidget* owner, const std::filesystem::path& start_folder,
                      QString& folder);
};

}  // namespace tazu
