// The encrypt dialog driven as a person uses it: the proposed name, the
// checks and their messages, the Enter keys, the replace question, real runs
// whose archives open again, abort, the self-decrypting switch and the
// keyboard path from the main window.
#include <sys/stat.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <cstdlib>

#include "decrypt/decrypt_object.h"
#include "dialog_test_support.h"
#include "tests/support/test_files.h"
#include "ui/password_strength.h"
#include "ui/unit1.h"
#include "ui/unit10.h"
#include "ui/unit3.h"
#include "ui/unit4.h"

namespace tazu::test {

using tazu::test::ListTree;
using tazu::test::ReadFile;
using tazu::test::RecordingHost;
using tazu::test::WriteFile;

// A program folder with an unprotected store and a source folder "Docs"
// holding a small tree, with the main window's object set.
class EncryptSetup {
  public:
    explicit EncryptSetup(std::uint8_t settings = 0x00) {
        pf.MakeStore("", settings);
        fs::create_directories(docs() / "Sub");
        WriteFile(docs() / "a.txt", "alpha");
        WriteFile(docs() / ".hidden", "");
        WriteFile(docs() / "Sub" / "b.bin", std::string(1000, '\xfe'));
        pf.Start();
    }
    fs::path docs() const { return pf.folder() / "Docs"; }
    TForm1* main() { return pf.windows().form1; }
    TForm3* dialog() { return pf.windows().form3; }

    // Chooses a file the way the file list does.
    void ChooseFile(const fs::path& file) {
        main()->OpenFolder(file.parent_path());
        const auto items =
            main()->FileListBox1->findItems(PathText(file.filename()), Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        main()->FileListBox1->setCurrentItem(items[0]);
    }
    // Opens the dialog and runs steps in it; closes it with "Назад" after.
    void InDialog(std::function<void(TForm3*)> steps) {
        AnswerModal("TForm3", [this, steps](QWidget*) {
            steps(dialog());
            if (dialog()->isVisible()) {
                dialog()->SpeedButton1->click();
            }
        });
        main()->SpeedButton2->click();
    }
    // Types the password (and confirmation) and presses "Шифрование";
    // returns the notification it raised.
    QString Encrypt(TForm3* d, const QString& password) {
        d->LabeledEdit2->setText(password);
        d->LabeledEdit3->setText(password);
        QString message;
        ExpectMessage(&message);
        d->SpeedButton2->click();
        return message;
    }
    // Extracts the archive through the engine with the session's store.
    std::vector<std::pair<std::string, std::string>> Extract(const fs::path& archive,
                                                             const std::string& password) {
        const fs::path out = pf.folder() / "out";
        fs::create_directories(out);
        RecordingHost host;
        DecryptRunState state;
        DecryptCode code = DecryptCode::kOk;
        const KeyStore& store = *pf.session().key_store;
        DecryptObject(Str255(password), store.GetKeyStoreValue(2), store.GetKeyStoreValue(3),
                      archive, out, host, state, code);
        if (code != DecryptCode::kEndOfData) {
            QTest::qFail("the archive did not open", __FILE__, __LINE__);
        }
        return ListTree(out);
    }

    ProgramFolder pf;
};

class EncryptDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void ProposesTheNameAndShowsTheObject() {
        EncryptSetup s;
        s.main()->OpenFolder(s.docs());
        QString object, name;
        s.InDialog([&](TForm3* d) {
            object = d->StaticText1->toolTip();
            name = d->LabeledEdit1->text();
            SavePicture(d, "TForm3");
        });
        QCOMPARE(object, PathText(s.docs()) + "/*.*");
        QCOMPARE(name, PathText(s.docs()) + ".shf");

        s.ChooseFile(s.docs() / "a.txt");
        s.InDialog([&](TForm3* d) { name = d->LabeledEdit1->text(); });
        QCOMPARE(name, PathText(s.docs() / "a.shf"));
    }

    // The strength line follows the typing from red to green and says why a
    // weak password is weak; a weak one still encrypts. The generated
    // passphrase fills both fields and is shown once.
    void StrengthLineFollowsTheTypingAndAPassphraseIsOneClickAway() {
        EncryptSetup s(0x10);
        s.main()->OpenFolder(s.docs());
        QString weak, strong, cleared, shown, phrase, confirmation, line, message;
        int weak_bar = 0, strong_bar = 0;
        s.InDialog([&](TForm3* d) {
            QTest::keyClicks(d->LabeledEdit2, "qwerty12");
            weak = d->StrengthLine->Text->text();
            weak_bar = d->StrengthLine->Bar->value();
            QCOMPARE(d->StrengthLine->accessibleDescription(), weak);
            SavePicture(d, "TForm3-weak");
            d->LabeledEdit2->setText("x7Rq2LmZ9pVw#4kT");
            strong = d->StrengthLine->Text->text();
            strong_bar = d->StrengthLine->Bar->value();
            d->LabeledEdit2->clear();
            cleared = d->StrengthLine->Text->text();
            ExpectMessage(&shown);
            d->GenerateButton->click();
            phrase = d->LabeledEdit2->text();
            confirmation = d->LabeledEdit3->text();
            line = d->StrengthLine->Text->text();
            message = s.Encrypt(d, "qwerty12");
        });
        QVERIFY2(weak.startsWith("очень слабый: подбор "), qPrintable(weak));
        QVERIFY2(weak.contains("\n"), qPrintable(weak));  // and why
        QVERIFY2(strong.startsWith("надёжный: подбор дольше 1000 лет"), qPrintable(strong));
        QCOMPARE(weak_bar, 1);
        QCOMPARE(strong_bar, 4);
        QVERIFY(cleared.isEmpty());
        QCOMPARE(phrase.split(' ').size(), 6);
        QCOMPARE(confirmation, phrase);
        QVERIFY2(shown.endsWith(phrase), qPrintable(shown));
        QVERIFY2(line.startsWith("надёжный"), qPrintable(line));
        QCOMPARE(message, QString("Шифровывание успешно завершено"));
    }

    void ChecksComeInOrderWithTheirMessages() {
        EncryptSetup s(0x10);  // passwords hidden: the confirmation is asked
        s.ChooseFile(s.docs() / "a.txt");
        QString bad_name, mismatch, forgot, self;
        bool cleared = false;
        s.InDialog([&](TForm3* d) {
            QVERIFY(d->CheckBox1->isChecked());
            QVERIFY(d->LabeledEdit3->isEnabled());
            d->LabeledEdit1->setText(PathText(s.pf.folder()) + "/");
            d->LabeledEdit2->setText("one");
            d->LabeledEdit3->setText("two");
            ExpectMessage(&bad_name);
            d->SpeedButton2->click();  // the name is looked at before the passwords
            d->LabeledEdit1->setText(PathText(s.pf.folder() / "x.shf"));
            ExpectMessage(&mismatch);
            d->SpeedButton2->click();
            cleared = d->LabeledEdit2->text().isEmpty() && d->LabeledEdit3->text().isEmpty();
            ExpectMessage(&forgot);
            d->SpeedButton2->click();
            // A name that is the object itself would empty it before it is read.
            d->LabeledEdit1->setText(PathText(s.docs() / "a.txt"));
            d->LabeledEdit2->setText("pw");
            d->LabeledEdit3->setText("pw");
            ExpectMessage(&self);
            d->SpeedButton2->click();
        });
        // The refusal's reason is on the line below.
        QCOMPARE(bad_name, QString("Имя нового файла задано неверно\nИмя оканчивается знаком "
                                   "«/»: это имя папки, а не файла."));
        QCOMPARE(mismatch, QString("Подтверждение пароля не совпадает с паролем"));
        QVERIFY(cleared);
        QCOMPARE(forgot, QString("Вы забыли указать пароль"));
        QCOMPARE(self, QString("Имя нового файла задано неверно\nЭто сам шифруемый файл: его "
                               "нельзя заменить архивом."));
        QCOMPARE(ReadFile(s.docs() / "a.txt"), std::string("alpha"));
        QVERIFY(!fs::exists(s.pf.folder() / "x.shf"));
    }

    void EnterKeysFollowTheHiddenSwitch() {
        EncryptSetup s(0x10);
        s.ChooseFile(s.docs() / "a.txt");
        QString message;
        bool moved = false, disabled_in_clear = false;
        s.InDialog([&](TForm3* d) {
            d->LabeledEdit2->setText("pw");
            QTest::keyClick(d->LabeledEdit2, Qt::Key_Return);
            moved = d->focusWidget() == d->LabeledEdit3;
            d->LabeledEdit3->setText("pw");
            ExpectMessage(&message);
            QTest::keyClick(d->LabeledEdit3, Qt::Key_Return);  // starts the run
            d->CheckBox1->setChecked(false);
            disabled_in_clear = !d->LabeledEdit3->isEnabled();
        });
        QVERIFY(moved);
        QCOMPARE(message, QString("Шифровывание успешно завершено"));
        QVERIFY(disabled_in_clear);
        QCOMPARE(s.Extract(s.docs() / "a.shf", "pw"),
                 (std::vector<std::pair<std::string, std::string>>{{"a.txt", "alpha"}}));
    }

    void ClearModeIgnoresTheConfirmationAndEncryptsTheTree() {
        EncryptSetup s;
        ::mkfifo((s.docs() / "pipe").c_str(), 0600);  // skipped with a report line
        s.main()->OpenFolder(s.docs());
        QString message, report, name;
        s.InDialog([&](TForm3* d) {
            QVERIFY(!d->LabeledEdit3->isEnabled());
            name = d->LabeledEdit1->text();
            d->LabeledEdit2->setText("секрет");
            d->LabeledEdit3->setText("something else");
            AnswerModal("TForm5", [&](QWidget* w) {
                message = w->findChild<QLabel*>("StaticText1")->text();
                ExpectReport(&report);
                Click(w, "SpeedButton1");
            });
            QTest::keyClick(d->LabeledEdit2, Qt::Key_Return);  // clear mode: Enter starts
        });
        QCOMPARE(message, QString("Шифровывание успешно завершено"));
        QVERIFY2(report.contains("pipe") && report.contains("пропущен, ошибка чтения"),
                 qPrintable(report));
        const auto tree = s.Extract(fs::path(name.toStdString()), "секрет");
        QCOMPARE(tree, (std::vector<std::pair<std::string, std::string>>{
                           {"Docs/.hidden", ""},
                           {"Docs/Sub/b.bin", std::string(1000, '\xfe')},
                           {"Docs/a.txt", "alpha"}}));
    }

    void CancelInTheReplaceQuestionStaysSelected() {
        EncryptSetup s;
        s.ChooseFile(s.docs() / "a.txt");
        WriteFile(s.docs() / "a.shf", "old");
        bool still_open = false, cancel_kept = false;
        QString message;
        s.InDialog([&](TForm3* d) {
            d->LabeledEdit2->setText("pw");
            AnswerModal("TForm10", [](QWidget* w) {
                static_cast<TForm10*>(w)->RadioButton2->setChecked(true);
                Click(w, "SpeedButton1");
            });
            d->SpeedButton2->click();  // ends silently
            still_open = d->isVisible();
        });
        QVERIFY(still_open);
        QCOMPARE(ReadFile(s.docs() / "a.shf"), std::string("old"));
        s.InDialog([&](TForm3* d) {
            d->LabeledEdit2->setText("pw");
            AnswerModal("TForm10", [&](QWidget* w) {
                auto* choice = static_cast<TForm10*>(w);
                cancel_kept = choice->RadioButton2->isChecked();
                SavePicture(w, "TForm10");
                choice->RadioButton1->setChecked(true);
                ExpectMessage(&message);
                Click(w, "SpeedButton1");
            });
            d->SpeedButton2->click();
        });
        QVERIFY(cancel_kept);
        QCOMPARE(message, QString("Шифровывание успешно завершено"));
        QVERIFY(ReadFile(s.docs() / "a.shf") != "old");
    }

    void AbortShowsTheDialogAtOnceAndKeepsTheOldFile() {
        EncryptSetup s;
        const fs::path big = s.pf.folder() / "big.dat";
        WriteFile(big, std::string(2 << 20, 'x'));
        WriteFile(s.pf.folder() / "big.shf", "old archive");
        s.ChooseFile(big);
        const auto before = ListTree(s.pf.folder());
        bool dialog_back = false, progress_gone = false;
        QString message;
        RunHold hold(s.pf.windows().form4);
        s.InDialog([&](TForm3* d) {
            d->LabeledEdit2->setText("pw");
            AnswerModal("TForm10", [&](QWidget* w) {
                static_cast<TForm10*>(w)->RadioButton1->setChecked(true);
                TForm4* progress = s.pf.windows().form4;
                AnswerModal(
                    "TForm4",
                    [&, progress](QWidget*) {
                        SavePicture(progress, "TForm4");
                        progress->SpeedButton1->click();
                        hold.Release();
                        dialog_back = d->isVisible();
                        progress_gone = !progress->isVisible();
                        ExpectMessage(&message);
                    },
                    [progress] { return progress->StaticText5->text() != "0"; });
                Click(w, "SpeedButton1");
            });
            d->SpeedButton2->click();
        });
        QVERIFY(dialog_back);
        QVERIFY(progress_gone);
        QCOMPARE(message, QString("Шифрование прервано по желанию пользователя"));
        QCOMPARE(ListTree(s.pf.folder()), before);  // no archive, no temporary file
    }

    void MissingStubEndsTheRunWithItsMessage() {
        EncryptSetup s;
        // The stub was there at start and is gone when the run begins.
        s.main()->OpenFolder(s.docs());
        s.main()->CheckBox3->setEnabled(true);
        s.main()->CheckBox3->setChecked(true);
        QString message, name;
        s.InDialog([&](TForm3* d) {
            name = d->LabeledEdit1->text();
            d->LabeledEdit2->setText("pw");
            ExpectMessage(&message);
            d->SpeedButton2->click();
        });
        QCOMPARE(name, PathText(s.docs()) + ".exe");
        QCOMPARE(message, QString("Модуль саморасшифровки не найден"));
        QVERIFY(!s.main()->CheckBox3->isChecked());
        QVERIFY(!fs::exists(s.docs().native() + ".exe"));
    }

    void SelfDecryptingOutputGivesTheTreeBack() {
        EncryptSetup s;
        fs::copy_file(TAZU_STUB_PATH, s.pf.folder() / "Tazu16x32.SFX");
        s.pf.Start();  // the stub is there at start: the switch is available
        QVERIFY(s.main()->CheckBox3->isEnabled());
        s.main()->CheckBox3->setChecked(true);
        s.main()->OpenFolder(s.docs());
        QString message;
        s.InDialog([&](TForm3* d) { message = s.Encrypt(d, "pw"); });
        QCOMPARE(message, QString("Шифровывание успешно завершено"));
        const fs::path exe = s.docs().native() + ".exe";
        const fs::path out = s.pf.folder() / "sfx-out";
        const std::string command =
            "echo pw | '" + exe.string() + "' '/parh:" + out.string() + "' >/dev/null 2>&1";
        QCOMPARE(std::system(command.c_str()), 0);
        QCOMPARE(ListTree(out), (std::vector<std::pair<std::string, std::string>>{
                                    {"Docs/.hidden", ""},
                                    {"Docs/Sub/b.bin", std::string(1000, '\xfe')},
                                    {"Docs/a.txt", "alpha"}}));
    }

    void TabFromTheFolderListKeepsTheFolder() {
        EncryptSetup s;
        TForm1* m = s.main();
        m->OpenFolder(s.docs());
        m->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m));
        m->DirectoryListBox1->setFocus();
        for (int i = 0; i < 5 && QApplication::focusWidget() != m->SpeedButton2; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(m->SpeedButton2));
        QCOMPARE(m->ChosenObject(), s.docs());
        QVERIFY(!m->SpeedButton3->isEnabled());
        // Arrow keys in the file list do choose a file.
        m->FileListBox1->setFocus();
        QTest::keyClick(m->FileListBox1, Qt::Key_Down);
        QCOMPARE(m->ChosenObject().parent_path(), s.docs());
        QVERIFY(m->SpeedButton3->isEnabled());
    }
};

}  // namespace tazu::test

QTEST_MAIN(tazu::test::EncryptDialogTest)
#include "encrypt_dialog_test.moc"
