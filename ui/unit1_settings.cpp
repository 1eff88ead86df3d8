// The settings page of TForm1: the switches the key store keeps, their
// mutual rules, the save triggers and the self-check of the program's file.
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <system_error>

#include "encrypt/stub_copy.h"
#include "ui/self_check.h"
#include "ui/unit1.h"
#include "ui/unit12.h"
#include "ui/unit15.h"
#include "ui/widgets.h"

namespace tazu {
namespace {

QCheckBox* MakeCheckBox(const QString& caption, const char* name) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QString SelfCheckText(SelfCheckResult result) {
    switch (result) {
        case SelfCheckResult::kIntact:
            return TForm1::tr("Проверка пройдена: файл программы не изменен");
        case SelfCheckResult::kChanged:
            return TForm1::tr("Внимание: файл программы изменен или поврежден!");
        case SelfCheckResult::kNotSigned:
            return TForm1::tr("Подпись программы не найдена, проверка невозможна");
        case SelfCheckResult::kCannotRead:
            return TForm1::tr("Ошибка чтения файла программы");
    }
    return {};
}

}  // namespace

QWidget* TForm1::BuildSettingsPage() {
    auto* page = new QWidget;
    CheckBox1 = MakeCheckBox(tr("Защитить паролем персональный код программы."), "CheckBox1");
    CheckBox2 = MakeCheckBox(tr("Использовать персональный код для защиты файлов."), "CheckBox2");
    CheckBox3 = MakeCheckBox(tr("Встроить саморасшифровщик."), "CheckBox3");
    CheckBox4 = MakeCheckBox(tr("Скрыть пароль при вводе."), "CheckBox4");
    CheckBox5 = MakeCheckBox(tr("Сохранять настройки при выходе."), "CheckBox5");

    auto group = [](const QString& title, std::initializer_list<QCheckBox*> boxes) {
        auto* box = new QGroupBox(title);
        auto* column = new QVBoxLayout(box);
        for (QCheckBox* b : boxes) {
            column->addWidget(b);
        }
        return box;
    };
    SpeedButton4 = MakeButton(tr("Сохранить ключ сейчас"), page, "SpeedButton4");
    SpeedButton5 = MakeButton(tr("Выполнить проверку собственного кода"), page, "SpeedButton5");

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group(tr("Параметры защиты ключа:"), {CheckBox1}));
    layout->addWidget(group(tr("Параметры шифрования файлов:"), {CheckBox2, CheckBox3}));
    layout->addWidget(group(tr("Параметры программы:"), {CheckBox4, CheckBox5}));
    layout->addStretch(1);
    layout->addWidget(SpeedButton4);
    layout->addWidget(SpeedButton5);

    // A check box reacts to every change of its state, made by the user or
    // by the program (the loader relies on it).
    connect(CheckBox1, &QCheckBox::toggled, this, &TForm1::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &TForm1::CheckBox2Click);
    connect(CheckBox3, &QCheckBox::toggled, this, &TForm1::CheckBox3Click);
    connect(SpeedButton4, &QPushButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(SpeedButton5, &QPushButton::clicked, this, &TForm1::SpeedButton5Click);
    // Whoever greys the self-decrypting switch, its tip tells why.
    CheckBox3->installEventFilter(this);
    return page;
}

std::filesystem::path TForm1::StubPlace() const {
    return StubExists() ? session_.StubPath() : InstalledStubPath(session_.program_folder);
}

void TForm1::UpdateSelfDecryptingTip() {
    QString tip;
    if (!StubExists()) {
        tip = tr("Недоступно: саморасшифровщик Tazu16x32.SFX не найден ни рядом с "
                 "программой (%1), ни в папке %2.")
                  .arg(PathText(session_.program_folder),
                       PathText(InstalledStubPath(session_.program_folder).parent_path()));
    } else if (CheckBox2->isChecked()) {
        tip =
            tr("Недоступно вместе с персональным кодом: снимите флажок «Использовать "
               "персональный код для защиты файлов.»");
    }
    CheckBox3->setToolTip(CheckBox3->isEnabled() ? QString() : tip);
    CheckBox3->setAccessibleDescription(CheckBox3->toolTip());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CheckBox3 && event->type() == QEvent::EnabledChange) {
        UpdateSelfDecryptingTip();
    }
    return QWidget::eventFilter(watched, event);
}

bool TForm1::StubExists() const {
    std::error_code ec;
    return std::filesystem::exists(session_.StubPath(), ec);
}

void TForm1::CheckBox1Click(bool checked) {
    if (!CheckBox6->isChecked()) {
        return;  // the loader is still setting the switches
    }
    Str255 previous = session_.key_store->GetKeyStoreValue(1);
    WipeOnExit wipe(previous);
    if (!checked) {
        session_.key_store->SetProtectionPassword(Str255());  // protection off
    } else {
        windows_.form12->ShowPasswordWindow();  // may uncheck CheckBox1 again
    }
    // A protection change is written at once, with the stored settings byte.
    if (SaveKeyStore(session_.key_store->Settings()) != KeyStoreSaveCode::kOk) {
        // The store on disk keeps its old protection, and so do the password
        // in memory and the switch: they show what the store holds.
        session_.key_store->SetProtectionPassword(previous);
        const QSignalBlocker quiet(CheckBox1);
        CheckBox1->setChecked(session_.key_store->IsProtected());
    }
}

void TForm1::CheckBox2Click(bool checked) {
    if (checked) {
        CheckBox3->setEnabled(false);
    } else if (StubExists()) {
        CheckBox3->setEnabled(true);
    }
}

void TForm1::CheckBox3Click(bool checked) {
    CheckBox2->setEnabled(!checked);
}

void TForm1::SpeedButton5Click() {
    TForm15* status = windows_.form15;
    SpeedButton5->setEnabled(false);  // no second check while this one reads
    status->ShowStatus(this, tr("Статус:"), tr("Проверка кода программы"));
    const SelfCheckResult result = CheckProgramFile(
        session_.program_file, [status](int percent) { status->SetProgress(percent); });
    status->HideStatus();
    SpeedButton5->setEnabled(true);
    ShowMessage(SelfCheckText(result));
}

}  // namespace tazu
