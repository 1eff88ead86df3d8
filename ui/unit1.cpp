#include "ui/unit1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "ui/settings_byte.h"
#include "ui/unit3.h"
#include "ui/unit5.h"
#include "ui/unit7.h"
#include "ui/widgets.h"

namespace tazu {

TForm1::TForm1(Session& session, Windows& windows)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      session_(session),
      windows_(windows) {
    setObjectName("TForm1");
    setWindowTitle("Tazu16x32");
    setFixedSize(kWidth, kHeight);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setAccessibleName(tr("Разделы программы"));
    PageControl1->addTab(BuildBrowserPage(), tr("Главное меню"));
    PageControl1->addTab(BuildSettingsPage(), tr("Настройки"));
    PageControl1->addTab(BuildHelpPage(), tr("Справка"));
    PageControl1->addTab(BuildAboutPage(), tr("О программе"));

    SpeedButton1 = MakeButton(tr("Выход из программы"), this, "SpeedButton1");
    SpeedButton1->setMinimumWidth(200);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm1::SpeedButton1Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(SpeedButton1, 0, Qt::AlignHCenter);

    FormCreate();
}

void TForm1::FormCreate() {
    session_.random.Reseed();
    // The key step table is a compile-time constant (kKeyStepTable), so it is
    // filled before any window exists.
    setEnabled(false);  // the key-store loading enables the window
    PlaceOnScreen();
}

void TForm1::PlaceOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    // The window is centred on the desktop and kept inside its available
    // area, title bar and exit button included, at any scale: on a small
    // screen it gives up height and width first. The frame is not known
    // before the window is shown, so room is kept for a usual one.
    constexpr int kFrameWidth = 16;
    constexpr int kFrameHeight = 48;
    const QRect desk = screen->availableGeometry();
    const int w = std::clamp(desk.width() - kFrameWidth, kMinWidth, kWidth);
    const int h = std::clamp(desk.height() - kFrameHeight, kMinHeight, kHeight);
    setFixedSize(w, h);
    const int x = CentredOrigin(desk.x(), desk.width(), w + kFrameWidth);
    const int y = CentredOrigin(desk.y(), desk.height(), h + kFrameHeight);
    move(std::max(desk.x(), x), std::max(desk.y(), y));
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        ChooseFolder();  // FormShow: the current folder is the chosen object
        if (isEnabled()) {
            FocusVisibly(DriveComboBox1);
        }
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the window any other way than "Выход из программы" ends the
    // run without saving.
    event->accept();
    session_.Terminate();
}

void TForm1::WhenEnabled(std::function<void()> action) {
    if (isEnabled()) {
        action();
    } else {
        when_enabled_ = std::move(action);
    }
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange || !isEnabled()) {
        return;
    }
    FocusVisibly(DriveComboBox1);
    if (when_enabled_) {
        // After the prompt has closed, not inside its handler.
        QTimer::singleShot(0, this, std::exchange(when_enabled_, nullptr));
    }
}

void TForm1::ShowMessage(const QString& message) {
    windows_.form5->ShowMessage(this, message);
}

std::uint8_t TForm1::CurrentSettingsByte() const {
    SwitchState s;
    s.check_box2 = CheckBox2->isChecked();
    s.check_box3 = CheckBox3->isChecked();
    s.check_box4 = CheckBox4->isChecked();
    s.check_box5 = CheckBox5->isChecked();
    s.image2 = !Image2->isHidden();
    const std::uint8_t stored = session_.key_store ? session_.key_store->Settings() : 0;
    return tazu::CurrentSettingsByte(stored, s);
}

KeyStoreSaveCode TForm1::SaveKeyStore(std::uint8_t settings) {
    const KeyStoreSaveCode code = session_.key_store->Save(session_.key_store_path, settings);
    if (code != KeyStoreSaveCode::kOk) {
        ShowMessage(FromUtf8(SaveCodeText(code)));
    }
    return code;
}

void TForm1::SpeedButton1Click() {
    if (session_.key_store && session_.key_store->Loaded() && CheckBox5->isChecked()) {
        const std::uint8_t current = CurrentSettingsByte();
        if (current != session_.key_store->Settings()) {
            SaveKeyStore(current);  // a failure shows its message; the run ends anyway
        }
    }
    session_.Terminate();
}

bool TForm1::ObjectIsFile() const {
    return SpeedButton3->isEnabled();
}

void TForm1::SpeedButton2Click() {
    // The encrypt dialog reads the chosen object, whether it is a file and
    // CheckBox2 to CheckBox4.
    windows_.form3->ShowDialog();
}

void TForm1::SpeedButton3Click() {
    session_.password_attempt_counter = 0;
    windows_.form7->ShowDialog();
}

void TForm1::SpeedButton4Click() {
    const std::uint8_t current = CurrentSettingsByte();
    if (SaveKeyStore(current) == KeyStoreSaveCode::kOk) {
        ShowMessage(FromUtf8(SaveCodeText(KeyStoreSaveCode::kOk)));
    }
}

bool TForm1::IsSwitchOn(LoadSwitch which) const {
    switch (which) {
        case LoadSwitch::kCheckBox1:
            return CheckBox1->isChecked();
        case LoadSwitch::kCheckBox2:
            return CheckBox2->isChecked();
        case LoadSwitch::kCheckBox3:
            return CheckBox3->isChecked();
        case LoadSwitch::kCheckBox4:
            return CheckBox4->isChecked();
        case LoadSwitch::kCheckBox5:
            return CheckBox5->isChecked();
        case LoadSwitch::kImage2:
            return !Image2->isHidden();
        case LoadSwitch::kCheckBox6:
            return CheckBox6->isChecked();
    }
    return false;
}

void TForm1::SetSwitch(LoadSwitch which, bool on) {
    switch (which) {
        case LoadSwitch::kCheckBox1:
            CheckBox1->setChecked(on);
            break;
        case LoadSwitch::kCheckBox2:
            CheckBox2->setChecked(on);
            break;
        case LoadSwitch::kCheckBox3:
            CheckBox3->setChecked(on);
            break;
        case LoadSwitch::kCheckBox4:
            CheckBox4->setChecked(on);
            break;
        case LoadSwitch::kCheckBox5:
            CheckBox5->setChecked(on);
            break;
        case LoadSwitch::kImage2:
            if (on != IsSwitchOn(LoadSwitch::kImage2)) {
                on ? Image1Click() : Image2Click();
            }
            break;
        case LoadSwitch::kCheckBox6:
            CheckBox6->setChecked(on);
            break;
    }
}

}  // namespace tazu
