#include "ui/picker_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ui/folder_browser.h"
#include "ui/widgets.h"

namespace tazu {

PickerWindow::PickerWindow(const QString& caption, bool with_file_name, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(caption);
    browser_ = new FolderBrowser(this);
    DriveComboBox1 = browser_->DriveComboBox1;
    DirectoryListBox1 = browser_->DirectoryListBox1;
    FileListBox1 = browser_->FileListBox1;
    MaskEdit1 = MakeLabeledEdit(tr("Папка:"), this, "MaskEdit1", &MaskEdit1Label);
    MaskEdit1->setMaxLength(255);
    if (with_file_name) {
        MaskEdit2 = MakeLabeledEdit(tr("Файл:"), this, "MaskEdit2", &StaticText1);
        StaticText1->setObjectName("StaticText1");
        MaskEdit2->setMaxLength(255);
    }
    SpeedButton1 = MakeButton(tr("Сохранить"), this, "SpeedButton1");
    SpeedButton2 = MakeButton(tr("Отмена"), this, "SpeedButton2");

    auto* grid = new QGridLayout(this);
    grid->addWidget(DriveComboBox1, 0, 0);
    grid->addWidget(DirectoryListBox1, 1, 0);
    grid->addWidget(FileListBox1, 0, 1, 2, 1);
    grid->addWidget(MaskEdit1Label, 2, 0, 1, 2);
    grid->addWidget(MaskEdit1, 3, 0, 1, 2);
    int row = 4;
    if (MaskEdit2 != nullptr) {
        grid->addWidget(StaticText1, row++, 0, 1, 2);
        grid->addWidget(MaskEdit2, row++, 0, 1, 2);
    }
    grid->addWidget(SpeedButton1, row, 0);
    grid->addWidget(SpeedButton2, row, 1);
    grid->setRowStretch(1, 1);
    setFixedSize(560, MaskEdit2 != nullptr ? 440 : 400);

    QWidget::setTabOrder(DriveComboBox1, DirectoryListBox1);
    QWidget::setTabOrder(DirectoryListBox1, FileListBox1);
    QWidget::setTabOrder(FileListBox1, MaskEdit1);
    QWidget* last = MaskEdit1;
    if (MaskEdit2 != nullptr) {
        QWidget::setTabOrder(MaskEdit1, MaskEdit2);
        last = MaskEdit2;
    }
    QWidget::setTabOrder(last, SpeedButton1);
    QWidget::setTabOrder(SpeedButton1, SpeedButton2);

    connect(browser_, &FolderBrowser::FolderChanged, this, &PickerWindow::DirectoryListBox1Change);
    connect(browser_, &FolderBrowser::FileSelected, this, &PickerWindow::FileListBox1Change);
    connect(SpeedButton1, &QPushButton::clicked, this, &QDialog::accept);
    connect(SpeedButton2, &QPushButton::clicked, this, &QDialog::reject);
}

void PickerWindow::Prepare(const QWidget* owner, const std::filesystem::path& start_folder) {
    if (owner != nullptr) {
        CentreOver(this, owner);
    }
    std::error_code ec;
    if (!start_folder.empty() && std::filesystem::is_directory(start_folder, ec)) {
        browser_->OpenFolder(start_folder);
    }
}

void PickerWindow::DirectoryListBox1Change() {
    // DriveComboBox1Change and DirectoryListBox1Change: the folder follows the lists.
    MaskEdit1->setText(PathText(browser_->CurrentFolder()));
}

void PickerWindow::FileListBox1Change(const std::filesystem::path& file) {
    if (MaskEdit2 != nullptr) {
        MaskEdit2->setText(PathText(file.filename()));
    }
}

}  // namespace tazu
