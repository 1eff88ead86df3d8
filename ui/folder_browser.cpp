#include "ui/folder_browser.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QStorageInfo>
#include <algorithm>
#include <system_error>
#include <vector>

#include "ui/widgets.h"

namespace tazu {
namespace {

namespace fs = std::filesystem;

constexpr int kPathRole = Qt::UserRole;

QByteArray PathBytes(const fs::path& p) {
    return QByteArray::fromStdString(p.native());
}

fs::path BytesPath(const QVariant& v) {
    return fs::path(v.toByteArray().toStdString());
}

// Names in the folder, byte-wise sorted, split into folders and the rest.
void ListFolder(const fs::path& folder, std::vector<fs::path>& folders,
                std::vector<fs::path>& files) {
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code type_ec;
        (it->is_directory(type_ec) ? folders : files).push_back(it->path().filename());
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
}

// Mounted volumes that hold files: real file systems, the root first.
std::vector<QStorageInfo> Volumes() {
    std::vector<QStorageInfo> volumes;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (v.isValid() && v.isReady()) {
            volumes.push_back(v);
        }
    }
    std::stable_sort(volumes.begin(), volumes.end(),
                     [](const QStorageInfo& a, const QStorageInfo& b) {
                         if (a.isRoot() != b.isRoot()) {
                             return a.isRoot();
                         }
                         return a.rootPath() < b.rootPath();
                     });
    return volumes;
}

}  // namespace

FolderBrowser::FolderBrowser(QWidget* parent) : QObject(parent) {
    DriveComboBox1 = new QComboBox(parent);
    DriveComboBox1->setObjectName("DriveComboBox1");
    DriveComboBox1->setAccessibleName(tr("Диск"));
    DirectoryListBox1 = new QListWidget(parent);
    DirectoryListBox1->setObjectName("DirectoryListBox1");
    DirectoryListBox1->setAccessibleName(tr("Папки"));
    FileListBox1 = new QListWidget(parent);
    FileListBox1->setObjectName("FileListBox1");
    FileListBox1->setAccessibleName(tr("Файлы"));
    FileListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

    connect(DriveComboBox1, &QComboBox::activated, this, [this](int index) {
        OpenFolder(BytesPath(DriveComboBox1->itemData(index)));
        DirectoryListBox1->setFocus();  // a drive choice moves on to its folders
    });
    // A single click (or Enter on an item) opens the folder at once.
    auto open = [this](QListWidgetItem* item) { OpenFolder(BytesPath(item->data(kPathRole))); };
    connect(DirectoryListBox1, &QListWidget::itemClicked, this, open);
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, open);
    // Selection, not the current item: the focus entering the list makes its
    // first item current without selecting it, and that chooses nothing.
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this,
            &FolderBrowser::FileSelectionChanged);

    FillDrives();
    std::error_code ec;
    fs::path start = fs::current_path(ec);
    // Without a current folder (it was removed) the first volume is shown.
    OpenFolder(ec ? BytesPath(DriveComboBox1->itemData(0)) : start);
}

void FolderBrowser::FillDrives() {
    DriveComboBox1->clear();
    for (const QStorageInfo& v : Volumes()) {
        const QString name = v.displayName() == v.rootPath()
                                 ? v.rootPath()
                                 : v.rootPath() + "  [" + v.displayName() + "]";
        DriveComboBox1->addItem(name,
                                PathBytes(fs::path(QFile::encodeName(v.rootPath()).toStdString())));
    }
    if (DriveComboBox1->count() == 0) {
        DriveComboBox1->addItem("/", PathBytes("/"));
    }
}

void FolderBrowser::OpenFolder(const fs::path& folder) {
    // The volume is the drive box entry with the longest root that holds the folder.
    fs::path target = folder.lexically_normal();
    if (!target.has_filename() && target.has_relative_path()) {
        target = target.parent_path();  // "/home/ann/" is "/home/ann"
    }
    int best = 0;
    std::size_t best_len = 0;
    for (int i = 0; i < DriveComboBox1->count(); ++i) {
        const fs::path root = BytesPath(DriveComboBox1->itemData(i));
        const auto mismatch = std::mismatch(root.begin(), root.end(), target.begin(), target.end());
        const std::size_t len = root.native().size();
        if (mismatch.first == root.end() && len >= best_len) {
            best = i;
            best_len = len;
        }
    }
    DriveComboBox1->setCurrentIndex(best);
    volume_root_ = BytesPath(DriveComboBox1->itemData(best));
    current_folder_ = target;
    FillLists();
    emit FolderChanged();
}

void FolderBrowser::FillLists() {
    // The path from the volume root down to the current folder, then its
    // subfolders, one step deeper.
    DirectoryListBox1->clear();
    const QSignalBlocker quiet(FileListBox1);  // filling selects nothing
    FileListBox1->clear();
    std::vector<fs::path> chain{current_folder_};
    for (fs::path p = current_folder_; p != volume_root_ && p.has_relative_path();) {
        p = p.parent_path();
        chain.push_back(p);
    }
    std::reverse(chain.begin(), chain.end());
    int depth = 0;
    for (const fs::path& p : chain) {
        const QString name = depth == 0 ? ShownText(p.native()) : ShownText(p.filename().native());
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + name, DirectoryListBox1);
        item->setData(kPathRole, PathBytes(p));
        ++depth;
    }
    DirectoryListBox1->setCurrentRow(depth - 1);
    std::vector<fs::path> folders, files;
    ListFolder(current_folder_, folders, files);
    for (const fs::path& name : folders) {
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + ShownText(name.native()),
                                         DirectoryListBox1);
        item->setData(kPathRole, PathBytes(current_folder_ / name));
    }
    for (const fs::path& name : files) {
        auto* item = new QListWidgetItem(ShownText(name.native()), FileListBox1);
        item->setData(kPathRole, PathBytes(current_folder_ / name));
    }
    FileListBox1->setCurrentRow(-1);
}

QListWidgetItem* FolderBrowser::FileItem(const fs::path& file) const {
    const QByteArray wanted = PathBytes(file);
    for (int row = 0; row < FileListBox1->count(); ++row) {
        QListWidgetItem* item = FileListBox1->item(row);
        if (item->data(kPathRole).toByteArray() == wanted) {
            return item;
        }
    }
    return nullptr;
}

bool FolderBrowser::SelectFile(const fs::path& file) {
    QListWidgetItem* item = FileItem(file);
    if (item == nullptr) {
        return false;
    }
    FileListBox1->setCurrentItem(item);  // selects it: FileSelected
    FileListBox1->scrollToItem(item);
    return true;
}

void FolderBrowser::Refresh() {
    const QList<QListWidgetItem*> selected = FileListBox1->selectedItems();
    const fs::path kept =
        selected.isEmpty() ? fs::path() : BytesPath(selected.front()->data(kPathRole));
    FillLists();
    if (QListWidgetItem* item = kept.empty() ? nullptr : FileItem(kept)) {
        const QSignalBlocker quiet(FileListBox1);
        FileListBox1->setCurrentItem(item);
        FileListBox1->scrollToItem(item);
    }
}

void FolderBrowser::FileSelectionChanged() {
    const QList<QListWidgetItem*> selected = FileListBox1->selectedItems();
    if (!selected.isEmpty()) {
        emit FileSelected(BytesPath(selected.front()->data(kPathRole)));
    }
}

}  // namespace tazu
