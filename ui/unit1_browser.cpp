// The main menu page of TForm1: the drive box, the folder list and the file
// list, and the object they choose. On Linux the "drives" are the mounted
// volumes that hold files, the root first.
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <algorithm>
#include <system_error>
#include <vector>

#include "ui/unit1.h"
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

QWidget* TForm1::BuildBrowserPage() {
    auto* page = new QWidget;
    DriveComboBox1 = new QComboBox(page);
    DriveComboBox1->setObjectName("DriveComboBox1");
    DirectoryListBox1 = new QListWidget(page);
    DirectoryListBox1->setObjectName("DirectoryListBox1");
    FileListBox1 = new QListWidget(page);
    FileListBox1->setObjectName("FileListBox1");

    LabeledEdit1Label = new QLabel("Имя зашифровываемого/расшифровываемого объекта:", page);
    LabeledEdit1 = new QLineEdit(page);
    LabeledEdit1->setObjectName("LabeledEdit1");
    LabeledEdit1->setReadOnly(true);
    LabeledEdit1Label->setBuddy(LabeledEdit1);

    SpeedButton2 = MakeButton("Зашифровать объект", page, "SpeedButton2");
    SpeedButton3 = MakeButton("Расшифровать файл", page, "SpeedButton3");
    SpeedButton3->setEnabled(false);

    auto* grid = new QGridLayout(page);
    grid->addWidget(DriveComboBox1, 0, 0);
    grid->addWidget(DirectoryListBox1, 1, 0);
    grid->addWidget(FileListBox1, 0, 1, 2, 1);
    grid->addWidget(LabeledEdit1Label, 2, 0, 1, 2);
    grid->addWidget(LabeledEdit1, 3, 0, 1, 2);
    grid->addWidget(SpeedButton2, 4, 0);
    grid->addWidget(SpeedButton3, 4, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    connect(DriveComboBox1, &QComboBox::activated, this, [this](int index) {
        DriveComboBox1Change(index);
        DriveComboBox1Click();
    });
    connect(DirectoryListBox1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        DirectoryListBox1Click(BytesPath(item->data(kPathRole)));
    });
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        DirectoryListBox1Click(BytesPath(item->data(kPathRole)));
    });
    connect(FileListBox1, &QListWidget::currentRowChanged, this, &TForm1::FileListBox1Change);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TForm1::SpeedButton3Click);

    FillDrives();
    std::error_code ec;
    fs::path start = fs::current_path(ec);
    // Without a current folder (it was removed) the first volume is shown.
    OpenFolder(ec ? BytesPath(DriveComboBox1->itemData(0)) : start);
    return page;
}

void TForm1::FillDrives() {
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

void TForm1::OpenFolder(const fs::path& folder) {
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
    DirectoryListBox1Change();
}

void TForm1::DriveComboBox1Change(int index) {
    OpenFolder(BytesPath(DriveComboBox1->itemData(index)));
}

void TForm1::DriveComboBox1Click() {
    DirectoryListBox1->setFocus();
}

void TForm1::DirectoryListBox1Click(const fs::path& folder) {
    // A single click opens the folder at once.
    OpenFolder(folder);
}

void TForm1::DirectoryListBox1Change() {
    // The path from the volume root down to the current folder, then its
    // subfolders, one step deeper.
    DirectoryListBox1->clear();
    FileListBox1->clear();
    std::vector<fs::path> chain{current_folder_};
    for (fs::path p = current_folder_; p != volume_root_ && p.has_relative_path();) {
        p = p.parent_path();
        chain.push_back(p);
    }
    std::reverse(chain.begin(), chain.end());
    int depth = 0;
    for (const fs::path& p : chain) {
        const QString name = depth == 0 ? PathText(p) : PathText(p.filename());
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + name, DirectoryListBox1);
        item->setData(kPathRole, PathBytes(p));
        ++depth;
    }
    DirectoryListBox1->setCurrentRow(depth - 1);
    std::vector<fs::path> folders, files;
    ListFolder(current_folder_, folders, files);
    for (const fs::path& name : folders) {
        auto* item =
            new QListWidgetItem(QString(depth * 2, ' ') + PathText(name), DirectoryListBox1);
        item->setData(kPathRole, PathBytes(current_folder_ / name));
    }
    const QSignalBlocker quiet(FileListBox1);  // filling selects nothing
    for (const fs::path& name : files) {
        auto* item = new QListWidgetItem(PathText(name), FileListBox1);
        item->setData(kPathRole, PathBytes(current_folder_ / name));
    }
    FileListBox1->setCurrentRow(-1);
    ChooseFolder();
}

void TForm1::ChooseFolder() {
    chosen_object_ = current_folder_;
    LabeledEdit1->setText(PathText(chosen_object_));
    SpeedButton3->setEnabled(false);
}

void TForm1::FileListBox1Change(int row) {
    QListWidgetItem* item = FileListBox1->item(row);
    if (item == nullptr) {
        return;
    }
    chosen_object_ = BytesPath(item->data(kPathRole));
    LabeledEdit1->setText(PathText(chosen_object_));
    SpeedButton3->setEnabled(true);
}

}  // namespace tazu
