#include "ui/unit3.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <system_error>

#include "encrypt/archive_name.h"
#include "encrypt/encrypt_messages.h"
#include "encrypt/encrypt_object.h"
#include "password/passphrase.h"
#include "ui/dialog_rules.h"
#include "ui/password_strength.h"
#include "ui/unit1.h"
#include "ui/unit10.h"
#include "ui/unit13.h"
#include "ui/unit15.h"
#include "ui/unit4.h"
#include "ui/unit6.h"
#include "ui/widgets.h"

namespace tazu {
namespace {

namespace fs = std::filesystem;

// The encryption engine's view of the windows: the counters of TForm4, the
// report list, the status window for the stub copy and the main window's
// self-decrypting switch.
class DialogEncryptHost final : public EncryptHost {
  public:
    explicit DialogEncryptHost(Windows& windows) : w_(windows) {}

    void AddBytesProcessed(std::int64_t count) override {
        AddToLabelNumber(w_.form4->StaticText5, count);
    }
    void AddFileEncrypted() override { AddToLabelNumber(w_.form4->StaticText4, 1); }
    void ProcessEvents() override { pump_.Run(); }
    void AppendReport(const std::string& line) override {
        w_.form13->AppendReportLine(ShownText(line));
    }
    void ShowStatusWindow() override { w_.form15->ShowWindow(w_.form4); }
    void SetStatusCaption(const std::string& text) override {
        w_.form15->SetCaption(FromUtf8(text));
    }
    void SetStatusText(const std::string& text) override { w_.form15->SetText(FromUtf8(text)); }
    void SetStatusProgress(int position) override { w_.form15->SetProgress(position); }
    void HideStatusWindow() override { w_.form15->HideStatus(); }
    void SwitchOffSelfDecrypting() override {
        // The stub is gone: the option is unavailable, as at start without it.
        w_.form1->CheckBox3->setChecked(false);
        w_.form1->CheckBox3->setEnabled(false);
    }

  private:
    Windows& w_;
    EventPump pump_;
};

}  // namespace

TForm3::TForm3(Session& session, Windows& windows, QWidget* parent)
    : RunDialog(session, windows,
                {tr("Шифрование"), tr("Имя объектов шифрования:"), tr("Имя нового файла:"),
                 tr("Шифрование", "the start button")},
                parent) {
    setObjectName("TForm3");
    LabeledEdit3 = MakeLabeledEdit(tr("Введите подтверждение пароля:"), GroupBox2, "LabeledEdit3",
                                   &LabeledEdit3Label);
    LimitToStr255(LabeledEdit3);
    SetPasswordHidden(LabeledEdit3, true);  // the confirmation is always masked
    password_rows_->insertWidget(2, LabeledEdit3Label);
    password_rows_->insertWidget(3, LabeledEdit3);
    StrengthLine = new PasswordStrengthLine(GroupBox2, "StrengthLine");
    StrengthLine->Watch(LabeledEdit2);
    password_rows_->insertWidget(2, StrengthLine);
    GenerateButton = MakeButton(tr("Придумать пароль"), GroupBox2, "GenerateButton");
    auto* generate_row = new QHBoxLayout;
    generate_row->addWidget(GenerateButton);
    generate_row->addStretch(1);
    password_rows_->addLayout(generate_row);
    QWidget::setTabOrder(LabeledEdit2, LabeledEdit3);
    QWidget::setTabOrder(LabeledEdit3, CheckBox1);
    QWidget::setTabOrder(CheckBox1, GenerateButton);
    QWidget::setTabOrder(GenerateButton, SpeedButton2);

    connect(LabeledEdit2, &QLineEdit::returnPressed, this, &TForm3::LabeledEdit2KeyPress);
    connect(LabeledEdit3, &QLineEdit::returnPressed, this, &TForm3::LabeledEdit3KeyPress);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm3::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TForm3::SpeedButton3Click);
    connect(GenerateButton, &QPushButton::clicked, this, &TForm3::GenerateButtonClick);
    FormCreate();
}

void TForm3::FormCreate() {
    session_.random.Reseed();
    state_.EncryptBlocksPerUpdate = kInitialBlocksPerUpdate;
}

void TForm3::FormShow() {
    ClearPasswords();
    TakeHideSwitch();
    const TForm1* main = windows_.form1;
    const bool is_file = main->ObjectIsFile();
    SetObjectText(ShownText(ObjectDisplayText(main->ChosenObject(), is_file)));
    ProposePath(
        ProposedDialogArchivePath(main->ChosenObject(), is_file, main->CheckBox3->isChecked()));
    FocusVisibly(LabeledEdit2);
}

void TForm3::CheckBox1Click(bool checked) {
    // While hidden, the password is asked twice.
    RunDialog::CheckBox1Click(checked);
    LabeledEdit3->setEnabled(checked);
}

void TForm3::LabeledEdit2KeyPress() {
    if (CheckBox1->isChecked()) {
        LabeledEdit3->setFocus();
    } else {
        SpeedButton2Click();
    }
}

void TForm3::LabeledEdit3KeyPress() {
    SpeedButton2Click();
}

void TForm3::SpeedButton3Click() {
    const TForm1* main = windows_.form1;
    const fs::path object = main->ChosenObject();
    QString name = LabeledEdit1->text();
    if (windows_.form6->ChooseOutputName(this, main->ObjectIsFile() ? object.parent_path() : object,
                                         name)) {
        LabeledEdit1->setText(name);
    }
}

void TForm3::GenerateButtonClick() {
    Str255 phrase = GeneratePassphrase(kDefaultPassphraseWords, session_.random);
    WipeOnExit wipe(phrase);
    const QString text = FromUtf8(phrase.view());
    LabeledEdit2->setText(text);
    LabeledEdit3->setText(text);
    // Nothing keeps it, and the fields may hide it: this is the one look.
    ShowMessage(tr("Запишите новый пароль:") + "\n" + text);
}

fs::path TForm3::ArchivePath() const {
    const fs::path name = PathField();
    const fs::path beside = ProposedArchivePath(windows_.form1->ChosenObject(), true, false);
    return name.is_absolute() || name.empty() ? name : beside.parent_path() / name;
}

bool TForm3::RequestIsValid(const fs::path& archive) {
    const ArchiveNameProblem name = CheckArchiveName(LabeledEdit1->text().toUtf8().toStdString(),
                                                     archive, windows_.form1->ChosenObject());
    switch (CheckEncryptRequest(name != ArchiveNameProblem::kNone, CheckBox1->isChecked(),
                                LabeledEdit2->text() != LabeledEdit3->text(),
                                LabeledEdit2->text().isEmpty())) {
        case EncryptRequestProblem::kNone:
            return true;
        case EncryptRequestProblem::kBadName:
            ShowMessage(tr("Имя нового файла задано неверно") + "\n" +
                        tr(ArchiveNameReason(name).data()));
            return false;
        case EncryptRequestProblem::kMismatch:
            ShowMessage(tr("Подтверждение пароля не совпадает с паролем"));
            ClearPasswords();
            LabeledEdit2->setFocus();
            return false;
        case EncryptRequestProblem::kNoPassword:
            ShowMessage(tr("Вы забыли указать пароль"));
            return false;
    }
    return false;
}

bool TForm3::MayReplace(const fs::path& archive) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(archive, ec))) {
        return true;
    }
    TForm10* choice = windows_.form10;
    // Closing the question without "ОК" replaces nothing.
    return choice->Ask(this, ShownText(archive.native())) && choice->RadioButton1->isChecked();
}

void TForm3::SpeedButton2Click() {
    if (RunActive()) {
        return;  // the last run has not returned yet
    }
    const fs::path archive = ArchivePath();
    if (!RequestIsValid(archive) || !MayReplace(archive)) {
        return;
    }
    std::error_code ec;
    fs::create_directories(archive.parent_path(), ec);  // a failure shows in the run
    Run(archive);
}

void TForm3::Run(const fs::path& archive) {
    RunGuard guard(*this);
    // Cleared before the progress window can take a click: an abort pressed
    // while it first paints must not be lost.
    state_.EncryptCancelled = false;
    TForm1* main = windows_.form1;
    TForm4* progress = windows_.form4;
    SwapToProgress(progress);
    progress->StaticText6->setText(main->CheckBox2->isChecked() ? tr("Да") : tr("Нет"));
    QApplication::processEvents();

    Str255 key_mark = session_.key_store->GetKeyStoreValue(3);
    Str255 personal_code = session_.key_store->GetKeyStoreValue(2);
    Str255 password = TextToStr255(LabeledEdit2->text());
    WipeOnExit wipe_mark(key_mark), wipe_code(personal_code), wipe_password(password);
    DialogEncryptHost host(windows_);
    const EncryptContext ctx{state_, host, session_.random};
    EncryptObjectOptions options;
    options.self_decrypting = main->CheckBox3->isChecked();
    options.stub_path = session_.StubPath();
    EncryptCode code = EncryptCode::kOk;
    const bool success = EncryptObject(
        password, personal_code, key_mark, archive, main->ChosenObject(),
        main->CheckBox2->isChecked(),
        main->ObjectIsFile() ? EncryptMode::kSingleFile : EncryptMode::kFolder, code, ctx, options);

    const std::string message = EncryptOutcomeMessage(success, code, main->ChosenObject());
    if (!message.empty()) {
        ShowMessage(FromUtf8(message));
    }
    if (success && code == EncryptCode::kOk) {
        windows_.form13->ShowReportIfAny();
    }
    main->RefreshBrowser();  // the new archive shows in the lists
    SwapToDialog(progress);
}

void TForm3::ClearPasswords() {
    RunDialog::ClearPasswords();
    ClearSecret(LabeledEdit3);
}

}  // namespace tazu
