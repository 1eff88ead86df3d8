// The pickers of the two dialogs: the drive box, folder list and file list
// linked as in the main window, the chosen folder in MaskEdit1 and, for
// "Сохранить как", the file name in MaskEdit2; "Сохранить" and "Отмена".
// TForm6 and TForm8 are this window with or without the file name.
#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>

class QLabel;
class QLineEdit;
class QPushButton;
class QComboBox;
class QListWidget;

namespace tazu {

class FolderBrowser;

class PickerWindow : public QDialog {
    Q_OBJECT
  public:
    PickerWindow(const QString& caption, bool with_file_name, QWidget* parent);

    // Centres the window over owner and opens start_folder in the lists
    // (the first steps of showing it; the caller fills the fields and execs).
    void Prepare(const QWidget* owner, const std::filesystem::path& start_folder);

    QComboBox* DriveComboBox1;
    QListWidget* DirectoryListBox1;
    QListWidget* FileListBox1;
    QLabel* MaskEdit1Label;          // "Папка:"
    QLineEdit* MaskEdit1;            // the folder
    QLabel* StaticText1 = nullptr;   // "Файл:"
    QLineEdit* MaskEdit2 = nullptr;  // the file name
    QPushButton* SpeedButton1;       // "Сохранить"
    QPushButton* SpeedButton2;       // "Отмена"

  protected:
    FolderBrowser* browser_;

  private:
    void DirectoryListBox1Change();
    void FileListBox1Change(const std::filesystem::path& file);
};

}  // namespace tazu
