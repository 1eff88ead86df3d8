#include "ui/unit7.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <system_error>

#include "decrypt/decrypt_object.h"
#include "decrypt/result_code.h"
#include "ui/dialog_rules.h"
#include "ui/unit1.h"
#include "ui/unit11.h"
#include "ui/unit13.h"
#include "ui/unit8.h"
#include "ui/unit9.h"
#include "ui/widgets.h"

namespace tazu {
namespace {

namespace fs = std::filesystem;

// The extraction engine's view of the windows: the counters and the
// personal-code indicator of TForm9, the report list and TForm11.
class DialogDecryptHost final : public DecryptHost {
  public:
    explicit DialogDecryptHost(Windows& windows) : w_(windows) {}

    void AddBytesProcessed(std::int64_t count) override {
        AddToLabelNumber(w_.form9->StaticText5, count);
    }
    void AddEntryHandled() override { AddToLabelNumber(w_.form9->StaticText4, 1); }
    void ProcessEvents() override { pump_.Run(); }
    void AppendReport(const std::string& line) override {
        w_.form13->AppendReportLine(ShownText(line));
    }
    ExistingFileChoice AskExistingFile(const std::string& path) override {
        TForm11* choice = w_.form11;
        // Once "apply to all" is checked the window is not shown again.
        if (!choice->CheckBox1->isChecked() && !choice->Ask(w_.form7, ShownText(path))) {
            return ExistingFileChoice::Cancel;  // closed without "ОК"
        }
        switch (choice->Choice()) {
            case 0:
                return ExistingFileChoice::Replace;
            case 1:
                return ExistingFileChoice::Skip;
            default:
                return ExistingFileChoice::Cancel;
        }
    }
    void NotePersonalCodeUse(bool used) override {
        QLabel* indicator = w_.form9->StaticText6;
        std::string text = indicator->text().toStdString();
        UpdatePersonalCodeIndicator(text, used);
        indicator->setText(FromUtf8(text));
    }

  private:
    Windows& w_;
    EventPump pump_;
};

}  // namespace

TForm7::TForm7(Session& session, Windows& windows, QWidget* parent)
    : RunDialog(session, windows,
                {tr("Расшифровывание"), tr("Имя объектов:"), tr("Путь для расшифровки:"),
                 tr("Расшифровать")},
                parent) {
    setObjectName("TForm7");
    // Enter in the password field acts as "Расшифровать".
    connect(LabeledEdit2, &QLineEdit::returnPressed, this, &TForm7::SpeedButton2Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm7::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TForm7::SpeedButton3Click);
    FormCreate();
}

void TForm7::FormCreate() {
    session_.random.Reseed();
    state_.DecryptBlocksPerUpdate = 256;
}

void TForm7::FormShow() {
    ClearPasswords();
    const fs::path& archive = windows_.form1->ChosenObject();
    SetObjectText(ShownText(archive.native()));
    ProposePath(fs::path(ProposedDestination(archive)));
    TakeHideSwitch();
    FocusVisibly(LabeledEdit2);
}

void TForm7::SpeedButton3Click() {
    QString folder;
    if (windows_.form8->ChooseFolder(this, windows_.form1->ChosenObject().parent_path(), folder)) {
        LabeledEdit1->setText(folder);
    }
}

void TForm7::EndDestinationWithSeparator() {
    // The proposal always ends with it; a typed folder may not.
    const QString text = LabeledEdit1->text();
    if (!text.isEmpty() && !text.endsWith('/')) {
        LabeledEdit1->setText(text + '/');
    }
}

void TForm7::SpeedButton2Click() {
    if (RunActive()) {
        return;  // the last run has not returned yet
    }
    EndDestinationWithSeparator();
    if (LabeledEdit1->text().isEmpty()) {
        ShowMessage(tr("Не указана папка для расшифровки"));
        return;
    }
    if (LabeledEdit2->text().isEmpty()) {
        ShowMessage(tr("Пароль введен неверно"));  // not counted as an attempt
        return;
    }
    const fs::path destination = PathField();
    std::error_code ec;
    fs::create_directories(destination.parent_path(), ec);  // a failure shows in the run
    windows_.form11->Reset();
    Run(destination);
}

void TForm7::Run(const fs::path& destination) {
    RunGuard guard(*this);
    // Cleared before the progress window can take a click: an abort pressed
    // while it first paints must not be lost.
    state_.DecryptCancelled = false;
    TForm9* progress = windows_.form9;
    SwapToProgress(progress);
    progress->StaticText6->clear();
    QApplication::processEvents();

    Str255 key_mark = session_.key_store->GetKeyStoreValue(3);
    Str255 personal_code = session_.key_store->GetKeyStoreValue(2);
    Str255 password = TextToStr255(LabeledEdit2->text());
    WipeOnExit wipe_mark(key_mark), wipe_code(personal_code), wipe_password(password);
    DialogDecryptHost host(windows_);
    DecryptCode code = DecryptCode::kOk;
    const bool result =
        DecryptObject(password, personal_code, key_mark, windows_.form1->ChosenObject(),
                      destination, host, state_, code);
    windows_.form1->RefreshBrowser();  // the extracted files show in the lists
    if (ShowOutcome(result, static_cast<std::uint8_t>(code))) {
        SwapToDialog(progress);
    }
}

bool TForm7::ShowOutcome(bool result, std::uint8_t code_value) {
    const auto code = static_cast<DecryptCode>(code_value);
    if (result) {
        return true;  // nothing to show
    }
    const std::string_view message = DecryptCodeMessage(code);
    if (!message.empty()) {
        ShowMessage(FromUtf8(message));
    }
    if (code == DecryptCode::kEndOfData) {
        windows_.form13->ShowReportIfAny();
    }
    if (code == DecryptCode::kWrongPassword &&
        WrongPasswordClosesDialog(session_.password_attempt_counter, session_.random)) {
        // As "Назад": the password is cleared and the main window is back.
        windows_.form9->hide();
        done(QDialog::Rejected);
        return false;
    }
    return true;
}

}  // namespace tazu
