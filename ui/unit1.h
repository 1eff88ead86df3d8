// TForm1: the main window. A tabbed notebook (main menu with the browser,
// settings, help, About) and the exit button below it. The window starts
// disabled; the key-store prompt enables it once the store is loaded. The
// dialogs read their configuration from its controls.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>

#include "keystore/keystore_file.h"
#include "ui/key_store_loader.h"
#include "ui/session.h"
#include "ui/window_table.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace tazu {

class ClickableImage;
class FolderBrowser;

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    TForm1(Session& session, Windows& windows);

    // Below the notebook.
    QTabWidget* PageControl1;
    QPushButton* SpeedButton1;  // "Выход из программы"
    // Main menu.
    QComboBox* DriveComboBox1;
    QListWidget* DirectoryListBox1;
    QListWidget* FileListBox1;
    QLabel* LabeledEdit1Label;
    QLineEdit* LabeledEdit1;
    QPushButton* SpeedButton2;  // "Зашифровать объект"
    QPushButton* SpeedButton3;  // "Расшифровать файл"
    // Settings.
    QPushButton* SpeedButton4;  // "Сохранить ключ сейчас"
    QPushButton* SpeedButton5;  // "Выполнить проверку собственного кода"
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QCheckBox* CheckBox5;
    // Help.
    QComboBox* ComboBox1;
    std::array<QPlainTextEdit*, 6> Memo;  // Memo1 .. Memo6
    // About.
    ClickableImage* Image1;  // bitmap
    ClickableImage* Image2;  // JPEG picture
    QLabel* StaticText10;
    QCheckBox* CheckBox6;  // hidden: checked once the store is loaded

    // The chosen object as the engine needs it (names kept as bytes);
    // LabeledEdit1 shows it.
    const std::filesystem::path& ChosenObject() const { return chosen_object_; }
    const std::filesystem::path& CurrentFolder() const;
    // The chosen object is a file ("Расшифровать файл" is enabled only then).
    bool ObjectIsFile() const;
    // Opens a folder in the browser (as a click in the folder list does).
    void OpenFolder(const std::filesystem::path& folder);
    // Makes a file or folder the chosen object, as a pick in the browser
    // does: a folder opens, a file's folder opens with the file selected
    // ("Расшифровать файл" enabled). False when it is neither.
    bool ChooseObject(const std::filesystem::path& path);
    // Lists the open folder again after a run wrote into it, keeping the
    // chosen object.
    void RefreshBrowser();
    // Runs action once the window takes input: at once when it does, else
    // when the key-store prompt enables it.
    void WhenEnabled(std::function<void()> action);

    // The settings byte the switches show now.
    std::uint8_t CurrentSettingsByte() const;

    // The loader's view of the switches.
    bool IsSwitchOn(LoadSwitch which) const;
    void SetSwitch(LoadSwitch which, bool on);

    // A notification centred over this window.
    void ShowMessage(const QString& message);

    // Event handlers, named after control and event.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void ComboBox1Select(int index);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A file or folder dropped on the window becomes the chosen object.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The window's fixed size, and the least it gives up to on a small screen.
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 500;
    static constexpr int kMinWidth = 480;
    static constexpr int kMinHeight = 360;

    void FormCreate();
    QWidget* BuildBrowserPage();
    QWidget* BuildSettingsPage();
    QWidget* BuildHelpPage();
    QWidget* BuildAboutPage();

    // Browser.
    void FileListBox1Change(const std::filesystem::path& file);
    void ChooseFolder();
    // Fits the fixed-size window into the screen's available area.
    void PlaceOnScreen();

    // Settings.
    void CheckBox1Click(bool checked);
    void CheckBox2Click(bool checked);
    void CheckBox3Click(bool checked);
    void CheckBox6Click(bool checked);
    void Image1Click();
    void Image2Click();
    bool StubExists() const;
    // Where the stub is, or where an installed one would be.
    std::filesystem::path StubPlace() const;
    // The self-decrypting switch's tip: why it is grey, when it is.
    void UpdateSelfDecryptingTip();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Saves the store with the given settings byte and shows a failure's
    // message; returns the code.
    KeyStoreSaveCode SaveKeyStore(std::uint8_t settings);

    Session& session_;
    Windows& windows_;
    FolderBrowser* browser_ = nullptr;
    std::filesystem::path chosen_object_;
    std::function<void()> when_enabled_;
};

}  // namespace tazu
