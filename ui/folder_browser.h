// The drive box, the folder list and the file list, linked as in every
// window that browses: the main window, "Сохранить как" and "Сохранить в".
// A drive choice opens the volume's root, a single click on a folder opens
// it, and the file list shows the files of the open folder. On Linux the
// "drives" are the mounted volumes that hold files, the root first. Names
// are kept as bytes; only what is shown converts.
#pragma once

#include <QObject>
#include <filesystem>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QWidget;

namespace tazu {

class FolderBrowser : public QObject {
    Q_OBJECT
  public:
    // Creates the three controls as children of parent (the caller lays
    // them out) and opens the current folder, or the first volume when
    // there is none.
    explicit FolderBrowser(QWidget* parent);

    QComboBox* DriveComboBox1;
    QListWidget* DirectoryListBox1;
    QListWidget* FileListBox1;

    // Opens a folder, as a click in the folder list does.
    void OpenFolder(const std::filesystem::path& folder);
    const std::filesystem::path& CurrentFolder() const { return current_folder_; }
    // Selects the file in the file list, as a click does (FileSelected);
    // false when the open folder does not list it.
    bool SelectFile(const std::filesystem::path& file);
    // Lists the open folder again (a run wrote into it), keeping the
    // selected file selected without announcing it again.
    void Refresh();

  signals:
    // The open folder changed (a drive or folder choice); the file list is
    // refilled and nothing in it is selected.
    void FolderChanged();
    // A file was selected: a click, or the arrow keys or Space on an item.
    // Moving the keyboard focus into the list selects nothing.
    void FileSelected(const std::filesystem::path& file);

  private:
    void FillDrives();
    void FillLists();
    void FileSelectionChanged();
    QListWidgetItem* FileItem(const std::filesystem::path& file) const;

    std::filesystem::path volume_root_;
    std::filesystem::path current_folder_;
};

}  // namespace tazu
