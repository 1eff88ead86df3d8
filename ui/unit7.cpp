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

    void addBytesProcessed(std::int64_t count) override {
        AddToLabelNumber(w_.form9->StaticText5, count);
    }
    void addEntryHandled() override { AddToLabelNumber(w_.form9->StaticText4, 1); }
    void processEvents() override { pump_.Run(); }
    void appendReport(const std::string& line) override {
        w_.form13->AppendReportLine(ShownText(line));
    }
    ExistingFileChoice askExistingFile(const std::string& path) override {
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
    void notePersonalCodeUse(bool used) override {
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
    : RunDialog(session, windows, parent) {
    setObjectName("TForm7");
    setWindowTitle("Расшифровывание");

    GroupBox1 = new QGroupBox("Имя объектов:", this);
    GroupBox1->setObjectName("GroupBox1");
    StaticText1 = new QLabel(GroupBox1);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setFixedWidth(480);
    StaticText1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabeledEdit1 =
        MakeLabeledEdit("Путь для расшифровки:", GroupBox1, "LabeledEdit1", &LabeledEdit1Label);
    LabeledEdit1->setMaxLength(255);
    SpeedButton3 = MakeButton("Обзор", GroupBox1, "SpeedButton3");

    GroupBox2 = new QGroupBox("Ввод пароля для защиты файла:", this);
    GroupBox2->setObjectName("GroupBox2");
    LabeledEdit2 =
        MakeLabeledEdit("Введите пароль:", GroupBox2, "LabeledEdit2", &LabeledEdit2Label);
    LimitToStr255(LabeledEdit2);
    CheckBox1 = new QCheckBox("Скрыть пароль при вводе", GroupBox2);
    CheckBox1->setObjectName("CheckBox1");

    SpeedButton2 = MakeButton("Расшифровать", this, "SpeedButton2");
    SpeedButton1 = MakeButton("Назад", this, "SpeedButton1");

    auto* names = new QGridLayout(GroupBox1);
    names->addWidget(StaticText1, 0, 0, 1, 2);
    names->addWidget(LabeledEdit1Label, 1, 0, 1, 2);
    names->addWidget(LabeledEdit1, 2, 0);
    names->addWidget(SpeedButton3, 2, 1);
    auto* password = new QVBoxLayout(GroupBox2);
    password->addWidget(LabeledEdit2Label);
    password->addWidget(LabeledEdit2);
    password->addWidget(CheckBox1);
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

    QWidget::setTabOrder(LabeledEdit2, CheckBox1);
    QWidget::setTabOrder(CheckBox1, SpeedButton2);
    QWidget::setTabOrder(SpeedButton2, SpeedButton1);
    QWidget::setTabOrder(SpeedButton1, LabeledEdit1);
    QWidget::setTabOrder(LabeledEdit1, SpeedButton3);

    connect(CheckBox1, &QCheckBox::toggled, this, &TForm7::CheckBox1Click);
    // Enter in the password field acts as "Расшифровать".
    connect(LabeledEdit2, &QLineEdit::returnPressed, this, &TForm7::SpeedButton2Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm7::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm7::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TForm7::SpeedButton3Click);
    FormCreate();
}

void TForm7::FormCreate() {
    session_.random.Reseed();
    state_.blocks_per_update = 256;
}

void TForm7::FormShow() {
    ClearSecret(LabeledEdit2);
    const fs::path& archive = windows_.form1->ChosenObject();
    const QString shown = ShownText(archive.native());
    StaticText1->setToolTip(shown);
    StaticText1->setAccessibleDescription(shown);
    StaticText1->setText(StaticText1->fontMetrics().elidedText(
        shown, Qt::ElideMiddle, StaticText1->contentsRect().width() - 8));
    proposed_path_ = fs::path(ProposedDestination(archive));
    proposed_text_ = PathText(proposed_path_);
    LabeledEdit1->setText(proposed_text_);
    CheckBox1->setChecked(windows_.form1->CheckBox4->isChecked());
    CheckBox1Click(CheckBox1->isChecked());
    LabeledEdit2->setFocus();
}

void TForm7::CheckBox1Click(bool checked) {
    SetPasswordHidden(LabeledEdit2, checked);
}

void TForm7::SpeedButton1Click() {
    if (!RunActive()) {
        done(QDialog::Rejected);  // clears the password
    }
}

void TForm7::done(int result) {
    ClearSecret(LabeledEdit2);
    RunDialog::done(result);
}

void TForm7::SpeedButton3Click() {
    QString folder;
    if (windows_.form8->ChooseFolder(this, windows_.form1->ChosenObject().parent_path(), folder)) {
        LabeledEdit1->setText(folder);
    }
}

fs::path TForm7::Destination() const {
    const QString text = LabeledEdit1->text();
    return text == proposed_text_ ? proposed_path_ : fs::path(text.toUtf8().toStdString());
}

void TForm7::SpeedButton2Click() {
    if (RunActive()) {
        return;  // the last run has not returned yet
    }
    // The destination is stored back with its final separator.
    const QString text = LabeledEdit1->text();
    if (!text.isEmpty() && !text.endsWith('/')) {
        const bool proposal = text == proposed_text_;
        LabeledEdit1->setText(text + '/');
        if (proposal) {
            proposed_path_ = fs::path(WithFinalSeparator(proposed_path_.native()));
            proposed_text_ = LabeledEdit1->text();
        }
    }
    if (LabeledEdit1->text().isEmpty()) {
        ShowMessage("Не указана папка для расшифровки");
        return;
    }
    if (LabeledEdit2->text().isEmpty()) {
        ShowMessage("Пароль введен неверно");  // not counted as an attempt
        return;
    }
    const fs::path destination = Destination();
    std::error_code ec;
    fs::create_directories(destination.parent_path(), ec);  // a failure shows in the run
    windows_.form11->Reset();
    Run(destination);
}

void TForm7::Run(const fs::path& destination) {
    RunGuard guard(*this);
    // Cleared before the progress window can take a click: an abort pressed
    // while it first paints must not be lost.
    state_.abort = false;
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
