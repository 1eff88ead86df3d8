// The main menu page of TForm1: the drive box, the folder list and the file
// list, and the object they choose.
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <system_error>

#include "ui/folder_browser.h"
#include "ui/unit1.h"
#include "ui/widgets.h"

namespace tazu {

QWidget* TForm1::BuildBrowserPage() {
    auto* page = new QWidget;
    setAcceptDrops(true);
    browser_ = new FolderBrowser(page);
    DriveComboBox1 = browser_->DriveComboBox1;
    DirectoryListBox1 = browser_->DirectoryListBox1;
    FileListBox1 = browser_->FileListBox1;

    LabeledEdit1Label = new QLabel(tr("Имя зашифровываемого/расшифровываемого объекта:"), page);
    LabeledEdit1 = new QLineEdit(page);
    LabeledEdit1->setObjectName("LabeledEdit1");
    LabeledEdit1->setReadOnly(true);
    NameByLabel(LabeledEdit1Label, LabeledEdit1);

    SpeedButton2 = MakeButton(tr("Зашифровать объект"), page, "SpeedButton2");
    SpeedButton3 = MakeButton(tr("Расшифровать файл"), page, "SpeedButton3");
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
    // Tab runs through the page as it reads: drives, folders, files, the
    // object, then the two commands.
    QWidget::setTabOrder(DriveComboBox1, DirectoryListBox1);
    QWidget::setTabOrder(DirectoryListBox1, FileListBox1);
    QWidget::setTabOrder(FileListBox1, LabeledEdit1);
    QWidget::setTabOrder(LabeledEdit1, SpeedButton2);
    QWidget::setTabOrder(SpeedButton2, SpeedButton3);

    // DriveComboBox1Change and DirectoryListBox1Change: the open folder is
    // the chosen object; FileListBox1Change: the selected file is.
    connect(browser_, &FolderBrowser::FolderChanged, this, &TForm1::ChooseFolder);
    connect(browser_, &FolderBrowser::FileSelected, this, &TForm1::FileListBox1Change);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TForm1::SpeedButton3Click);
    ChooseFolder();
    return page;
}

const std::filesystem::path& TForm1::CurrentFolder() const {
    return browser_->CurrentFolder();
}

void TForm1::OpenFolder(const std::filesystem::path& folder) {
    browser_->OpenFolder(folder);
}

void TForm1::ChooseFolder() {
    chosen_object_ = browser_->CurrentFolder();
    LabeledEdit1->setText(ShownText(chosen_object_.native()));
    SpeedButton3->setEnabled(false);
}

bool TForm1::ChooseObject(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        browser_->OpenFolder(path);  // FolderChanged: the folder is chosen
        return true;
    }
    if (!std::filesystem::exists(path, ec)) {
        return false;
    }
    browser_->OpenFolder(path.parent_path());
    if (!browser_->SelectFile(path)) {
        FileListBox1Change(path);  // not listed (hidden by a race): chosen all the same
    }
    return true;
}

void TForm1::RefreshBrowser() {
    browser_->Refresh();
}

namespace {

// The one local file or folder a drag carries, or an empty path.
std::filesystem::path DraggedPath(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile()) {
        return {};
    }
    return QFile::encodeName(data->urls().front().toLocalFile()).toStdString();
}

}  // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!DraggedPath(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    const std::filesystem::path path = DraggedPath(event->mimeData());
    if (!path.empty() && ChooseObject(path)) {
        PageControl1->setCurrentIndex(0);  // the main menu shows the choice
        event->acceptProposedAction();
    }
}

void TForm1::FileListBox1Change(const std::filesystem::path& file) {
    chosen_object_ = file;
    LabeledEdit1->setText(ShownText(chosen_object_.native()));
    SpeedButton3->setEnabled(true);
}

}  // namespace tazu
