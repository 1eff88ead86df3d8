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
#include "ui/dialog_rules.h"
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

    void addBytesProcessed(std::int64_t count) override {
        AddToLabelNumber(w_.form4->StaticText5, count);
    }
    void addFileEncrypted() override { AddToLabelNumber(w_.form4->StaticText4, 1); }
    void processEvents() override { pump_.Run(); }
    void appendReport(const std::string& line) override {
        w_.form13->AppendReportLine(ShownText(line));
    }
    void showStatusWindow() override { w_.form15->ShowWindow(w_.form4); }
    void setStatusCaption(const std::string& text) override {
        w_.form15->SetCaption(FromUtf8(text));
    }
    void setStatusText(const std::string& text) override { w_.form15->SetText(FromUtf8(text)); }
    void setStatusProgress(int position) override { w_.form15->SetProgress(position); }
    void hideStatusWindow() override { w_.form15->HideStatus(); }
    void switchOffSelfDecrypting() override {
        // The stub is gone: the option is unavailable, as at start without it.
        w_.form1->CheckBox3->setChecked(false);
        w_.form1->CheckBox3->setEnabled(false);
    }

  private:
    Windows& w_;
    EventPump pump_;
};

// Shows a long path by its beginning and end, the whole of it as a tip.
void SetObjectText(QLabel* label, const QString& text) {
    label->setToolTip(text);
    label->setText(
        label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->contentsRect().width() - 8));
    label->setAccessibleDescription(text);
}

}  // namespace

TForm3::TForm3(Session& session, Windows& windows, QWidget* parent)
    : RunDialog(session, windows, parent) {
    setObjectName("TForm3");
    setWindowTitle("Шифрование");

    GroupBox1 = new QGroupBox("Имя объектов шифрования:", this);
    GroupBox1->setObjectName("GroupBox1");
    StaticText1 = new QLabel(GroupBox1);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setFixedWidth(480);
    StaticText1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabeledEdit1 =
        MakeLabeledEdit("Имя нового файла:", GroupBox1, "LabeledEdit1", &LabeledEdit1Label);
    LabeledEdit1->setMaxLength(255);
    SpeedButton3 = MakeButton("Обзор", GroupBox1, "SpeedButton3");

    GroupBox2 = new QGroupBox("Ввод пароля для защиты файла:", this);
    GroupBox2->setObjectName("GroupBox2");
    LabeledEdit2 =
        MakeLabeledEdit("Введите пароль:", GroupBox2, "LabeledEdit2", &LabeledEdit2Label);
    LimitToStr255(LabeledEdit2);
    LabeledEdit3 = MakeLabeledEdit("Введите подтверждение пароля:", GroupBox2, "LabeledEdit3",
                                   &LabeledEdit3Label);
    LimitToStr255(LabeledEdit3);
    SetPasswordHidden(LabeledEdit3, true);  // the confirmation is always masked
    CheckBox1 = new QCheckBox("Скрыть пароль при вводе", GroupBox2);
    CheckBox1->setObjectName("CheckBox1");

    SpeedButton2 = MakeButton("Шифрование", this, "SpeedButton2");
    SpeedButton1 = MakeButton("Назад", this, "SpeedButton1");

    auto* names = new QGridLayout(GroupBox1);
    names->addWidget(StaticText1, 0, 0, 1, 2);
    names->addWidget(LabeledEdit1Label, 1, 0, 1, 2);
    names->addWidget(LabeledEdit1, 2, 0);
    names->addWidget(SpeedButton3, 2, 1);
    auto* passwords = new QVBoxLayout(GroupBox2);
    passwords->addWidget(LabeledEdit2Label);
    passwords->addWidget(LabeledEdit2);
    passwords->addWidget(LabeledEdit3Label);
    passwords->addWidget(LabeledEdit3);
    passwords->addWidget(CheckBox1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(SpeedButton2);
    buttons->addWidget(SpeedButton1);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab goes down the dialog as it reads; the password comes first on
    // opening, so the order starts there.
    QWidget::setTabOrder(LabeledEdit2, LabeledEdit3);
    QWidget::setTabOrder(LabeledEdit3, CheckBox1);
    QWidget::setTabOrder(CheckBox1, SpeedButton2);
    QWidget::setTabOrder(SpeedButton2, SpeedButton1);
    QWidget::setTabOrder(SpeedButton1, LabeledEdit1);
    QWidget::setTabOrder(LabeledEdit1, SpeedButton3);

    connect(CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
    connect(LabeledEdit2, &QLineEdit::returnPressed, this, &TForm3::LabeledEdit2KeyPress);
    connect(LabeledEdit3, &QLineEdit::returnPressed, this, &TForm3::LabeledEdit3KeyPress);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm3::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm3::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TForm3::SpeedButton3Click);
    FormCreate();
}

void TForm3::FormCreate() {
    session_.random.Reseed();
    state_.EncryptBlocksPerUpdate = kInitialBlocksPerUpdate;
}

void TForm3::FormShow() {
    ClearPasswords();
    CheckBox1->setChecked(windows_.form1->CheckBox4->isChecked());
    CheckBox1Click(CheckBox1->isChecked());
    const TForm1* main = windows_.form1;
    const bool is_file = main->ObjectIsFile();
    SetObjectText(StaticText1, ShownText(ObjectDisplayText(main->ChosenObject(), is_file)));
    proposed_path_ =
        ProposedArchivePath(main->ChosenObject(), is_file, main->CheckBox3->isChecked());
    proposed_text_ = PathText(proposed_path_);
    LabeledEdit1->setText(proposed_text_);
    LabeledEdit2->setFocus();
}

void TForm3::CheckBox1Click(bool checked) {
    // While hidden, the password is asked twice.
    SetPasswordHidden(LabeledEdit2, checked);
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

void TForm3::SpeedButton1Click() {
    if (!RunActive()) {
        done(QDialog::Rejected);  // clears the password fields
    }
}

void TForm3::done(int result) {
    ClearPasswords();
    RunDialog::done(result);
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

fs::path TForm3::ArchivePath() const {
    const QString text = LabeledEdit1->text();
    if (text == proposed_text_) {
        return proposed_path_;
    }
    const fs::path typed(text.toUtf8().toStdString());
    return typed.is_absolute() ? typed : proposed_path_.parent_path() / typed;
}

bool TForm3::RequestIsValid(const fs::path& archive) {
    const bool unusable = IsUnusableArchiveName(LabeledEdit1->text().toUtf8().toStdString(),
                                                archive, windows_.form1->ChosenObject());
    switch (CheckEncryptRequest(unusable, CheckBox1->isChecked(),
                                LabeledEdit2->text() != LabeledEdit3->text(),
                                LabeledEdit2->text().isEmpty())) {
        case EncryptRequestProblem::kNone:
            return true;
        case EncryptRequestProblem::kBadName:
            ShowMessage("Имя нового файла задано неверно");
            return false;
        case EncryptRequestProblem::kMismatch:
            ShowMessage("Подтверждение пароля не совпадает с паролем");
            ClearPasswords();
            LabeledEdit2->setFocus();
            return false;
        case EncryptRequestProblem::kNoPassword:
            ShowMessage("Вы забыли указать пароль");
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
    progress->StaticText6->setText(main->CheckBox2->isChecked() ? "Да" : "Нет");
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
    EncryptCode code = EncryptCode::kNone;
    const bool success = EncryptObject(
        password, personal_code, key_mark, archive, main->ChosenObject(),
        main->CheckBox2->isChecked(),
        main->ObjectIsFile() ? EncryptMode::kSingleFile : EncryptMode::kFolder, code, ctx, options);

    const std::string_view message = EncryptOutcomeText(success, code);
    if (!message.empty()) {
        ShowMessage(FromUtf8(message));
    }
    if (success && code == EncryptCode::kNone) {
        windows_.form13->ShowReportIfAny();
    }
    SwapToDialog(progress);
}

void TForm3::ClearPasswords() {
    ClearSecret(LabeledEdit2);
    ClearSecret(LabeledEdit3);
}

}  // namespace tazu
