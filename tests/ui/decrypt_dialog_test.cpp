// The decrypt dialog driven as a person uses it: Enter, an empty password,
// the destination, the existing-file questions, the wrong-password rule,
// abort, damage, every format version, another key store and the picker.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "dialog_test_support.h"
#include "keystore/keystore_file.h"
#include "tests/support/archive_writers.h"
#include "tests/support/test_files.h"
#include "ui/unit1.h"
#include "ui/unit11.h"
#include "ui/unit13.h"
#include "ui/unit7.h"
#include "ui/unit8.h"
#include "ui/unit9.h"

namespace tazu::test {

using tazu::test::ListTree;
using tazu::test::ReadFile;
using tazu::test::WriteFile;
using Tree = std::vector<std::pair<std::string, std::string>>;

// A program folder with an unprotected store, an archive "docs.shf" of a
// small tree made with password "pw", and the archive chosen in the main
// window.
class DecryptSetup {
  public:
    explicit DecryptSetup(Random* random = nullptr, int files = 2) {
        pf.MakeStore("", 0x00);
        random != nullptr ? pf.Start(*random) : pf.Start();
        const fs::path docs = pf.folder() / "src" / "Docs";
        fs::create_directories(docs);
        for (int i = 0; i < files; ++i) {
            WriteFile(docs / ("f" + std::to_string(i) + ".txt"), "file " + std::to_string(i));
        }
        MakeArchive(*pf.session().key_store, docs, archive(), "pw");
        Choose(archive());
    }
    fs::path archive() const { return pf.folder() / "docs.shf"; }
    TForm1* main() { return pf.windows().form1; }
    TForm7* dialog() { return pf.windows().form7; }

    void Choose(const fs::path& file) {
        main()->OpenFolder(file.parent_path());
        const auto items =
            main()->FileListBox1->findItems(PathText(file.filename()), Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        main()->FileListBox1->setCurrentItem(items[0]);
    }
    // Opens the dialog from "Расшифровать файл" and runs steps in it; closes
    // it with "Назад" after when it is still open.
    void InDialog(std::function<void(TForm7*)> steps) {
        AnswerModal("TForm7", [this, steps](QWidget*) {
            steps(dialog());
            if (dialog()->isVisible()) {
                dialog()->SpeedButton1->click();
            }
        });
        main()->SpeedButton3->click();
    }
    // Types the password, sets the destination and presses Enter; returns
    // the notification.
    QString Decrypt(TForm7* d, const QString& password, const fs::path& dest) {
        d->LabeledEdit1->setText(PathText(dest));
        d->LabeledEdit2->setText(password);
        QString message;
        ExpectMessage(&message);
        QTest::keyClick(d->LabeledEdit2, Qt::Key_Return);
        return message;
    }
    fs::path out() const { return pf.folder() / "out"; }

    ProgramFolder pf;
};

const Tree kTwoFiles{{"Docs/f0.txt", "file 0"}, {"Docs/f1.txt", "file 1"}};

class DecryptDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void EnterStartsAndTheDestinationGetsItsSeparator() {
        DecryptSetup s;
        QString proposed, stored, message;
        s.InDialog([&](TForm7* d) {
            proposed = d->LabeledEdit1->text();
            SavePicture(d, "TForm7");
            message = s.Decrypt(d, "pw", s.out());
            stored = d->LabeledEdit1->text();
        });
        QCOMPARE(proposed, PathText(s.pf.folder()) + "/");
        QCOMPARE(stored, PathText(s.out()) + "/");
        QCOMPARE(message, QString("Расшифровка успешно завершена"));
        QCOMPARE(ListTree(s.out()), kTwoFiles);
    }

    void EmptyPasswordIsRefusedWithoutARun() {
        DecryptSetup s;
        QString message;
        s.pf.windows().form9->StaticText4->setText("untouched");
        s.InDialog([&](TForm7* d) { message = s.Decrypt(d, "", s.out()); });
        QCOMPARE(message, QString("Пароль введен неверно"));
        QCOMPARE(s.pf.windows().form9->StaticText4->text(), QString("untouched"));
        QCOMPARE(s.pf.session().password_attempt_counter, 0);
        QVERIFY(!fs::exists(s.out()));
    }

    void EmptyDestinationIsRefused() {
        DecryptSetup s;
        QString message;
        s.InDialog([&](TForm7* d) { message = s.Decrypt(d, "pw", fs::path()); });
        QCOMPARE(message, QString("Не указана папка для расшифровки"));
        QCOMPARE(s.pf.terminated, 0);
    }

    void WrongPasswordCreatesTheDestinationAndCounts() {
        DecryptSetup s;
        QString message;
        const fs::path dest = s.out() / "deep" / "er";
        s.InDialog([&](TForm7* d) { message = s.Decrypt(d, "wrong", dest); });
        QCOMPARE(message, QString("Пароль введен неверно"));
        QVERIFY(fs::is_directory(dest));
        QVERIFY(fs::is_empty(dest));
        QCOMPARE(s.pf.session().password_attempt_counter, 1);
    }

    void WrongPasswordRuleClosesOnZeroSevenAndNine() {
        for (std::uint8_t draw : {0, 7, 9, 3}) {
            ValueRandom random(draw);
            DecryptSetup s(&random);
            int closed_at = 0;
            s.InDialog([&](TForm7* d) {
                for (int attempt = 1; attempt <= 5 && d->isVisible(); ++attempt) {
                    s.Decrypt(d, "wrong", s.out());
                    if (!d->isVisible()) {
                        closed_at = attempt;
                    }
                }
            });
            QCOMPARE(closed_at, draw == 3 ? 0 : 4);
            QVERIFY(!s.pf.windows().form9->isVisible());
            // "Расшифровать файл" starts the count again.
            s.InDialog([&](TForm7*) {});
            QCOMPARE(s.pf.session().password_attempt_counter, 0);
        }
    }

    void ConflictsReplaceSkipAndCancel() {
        DecryptSetup s;
        fs::create_directories(s.out() / "Docs");
        WriteFile(s.out() / "Docs" / "f0.txt", "old 0");
        WriteFile(s.out() / "Docs" / "f1.txt", "old 1");
        QString shown, message, report;
        s.InDialog([&](TForm7* d) {
            // Replace the first, skip the second: the report names the skipped one.
            AnswerModal("TForm11", [&](QWidget* w) {
                auto* c = static_cast<TForm11*>(w);
                shown = c->LabeledEdit1->text();
                SavePicture(w, "TForm11");
                AnswerModal("TForm11", [&](QWidget* w2) {
                    static_cast<TForm11*>(w2)->RadioButton2->setChecked(true);
                    AnswerModal("TForm5", [&](QWidget* m) {
                        message = m->findChild<QLabel*>("StaticText1")->text();
                        ExpectReport(&report);
                        Click(m, "SpeedButton1");
                    });
                    Click(w2, "SpeedButton1");
                });
                Click(w, "SpeedButton1");
            });
            d->LabeledEdit1->setText(PathText(s.out()));
            d->LabeledEdit2->setText("pw");
            d->SpeedButton2->click();
        });
        QCOMPARE(shown, PathText(s.out() / "Docs" / "f0.txt"));
        QCOMPARE(message, QString("Расшифровка успешно завершена"));
        QCOMPARE(report, "-) Файл: " + PathText(s.out() / "Docs" / "f1.txt") +
                             " - пропущен, уже существует");
        QCOMPARE(ListTree(s.out()), (Tree{{"Docs/f0.txt", "file 0"}, {"Docs/f1.txt", "old 1"}}));

        // Cancel ends the run with its message; the conflict window starts
        // each run reset to "Заменить файл".
        bool reset = false;
        s.InDialog([&](TForm7* d) {
            AnswerModal("TForm11", [&](QWidget* w) {
                auto* c = static_cast<TForm11*>(w);
                reset = c->RadioButton1->isChecked() && !c->CheckBox1->isChecked();
                c->RadioButton3->setChecked(true);
                ExpectMessage(&message);
                Click(w, "SpeedButton1");
            });
            d->LabeledEdit1->setText(PathText(s.out()));
            d->LabeledEdit2->setText("pw");
            d->SpeedButton2->click();
        });
        QVERIFY(reset);
        QCOMPARE(message, QString("Расшифровка прервана по желанию пользователя"));
    }

    void ApplyToAllAsksOnce() {
        DecryptSetup s(nullptr, 10);
        s.InDialog([&](TForm7* d) { s.Decrypt(d, "pw", s.out()); });
        int asked = 0;
        QString report;
        s.InDialog([&](TForm7* d) {
            AnswerModal("TForm11", [&](QWidget* w) {
                ++asked;
                auto* c = static_cast<TForm11*>(w);
                c->RadioButton2->setChecked(true);
                c->CheckBox1->setChecked(true);
                AnswerModal("TForm5", [&](QWidget* m) {
                    ExpectReport(&report);
                    Click(m, "SpeedButton1");
                });
                Click(w, "SpeedButton1");
            });
            d->LabeledEdit1->setText(PathText(s.out()));
            d->LabeledEdit2->setText("pw");
            d->SpeedButton2->click();
        });
        QCOMPARE(asked, 1);
        QCOMPARE(report.count("пропущен, уже существует"), 10);
    }

    void AbortShowsTheDialogAtOnceAndRemovesThePartialFile() {
        DecryptSetup s;
        const fs::path big = s.pf.folder() / "big.dat";
        WriteFile(big, std::string(2 << 20, 'y'));
        const fs::path archive = s.pf.folder() / "big.shf";
        MakeArchive(*s.pf.session().key_store, big, archive, "pw");
        s.Choose(archive);
        bool dialog_back = false;
        QString message;
        RunHold hold(s.pf.windows().form9);
        s.InDialog([&](TForm7* d) {
            TForm9* progress = s.pf.windows().form9;
            AnswerModal(
                "TForm9",
                [&, progress](QWidget*) {
                    SavePicture(progress, "TForm9");
                    progress->close();  // the close box aborts like the button
                    hold.Release();
                    dialog_back = d->isVisible() && !progress->isVisible();
                    ExpectMessage(&message);
                },
                [progress] { return progress->StaticText5->text() != "0"; });
            d->LabeledEdit1->setText(PathText(s.out()));
            d->LabeledEdit2->setText("pw");
            d->SpeedButton2->click();
        });
        QVERIFY(dialog_back);
        QCOMPARE(message, QString("Расшифровка прервана по желанию пользователя"));
        QVERIFY(fs::is_empty(s.out()));
    }

    void DamageIsReportedAfterTheSuccessMessage() {
        DecryptSetup s;
        WriteFile(s.pf.folder() / "long.txt", std::string(1000, 'l'));
        const fs::path archive = s.pf.folder() / "long.shf";
        MakeArchive(*s.pf.session().key_store, s.pf.folder() / "long.txt", archive, "pw");
        std::string bytes = ReadFile(archive);
        bytes[bytes.size() - 40] ^= 0x01;  // in the last block's data
        WriteFile(archive, bytes);
        s.Choose(archive);
        QString message, report;
        s.InDialog([&](TForm7* d) {
            AnswerModal("TForm5", [&](QWidget* m) {
                message = m->findChild<QLabel*>("StaticText1")->text();
                ExpectReport(&report);
                Click(m, "SpeedButton1");
            });
            d->LabeledEdit1->setText(PathText(s.out()));
            d->LabeledEdit2->setText("pw");
            d->SpeedButton2->click();
        });
        QCOMPARE(message, QString("Расшифровка успешно завершена"));
        QVERIFY2(report.contains(" - поврежден"), qPrintable(report));
        QVERIFY(!s.pf.windows().form13->HasReport());  // closing the report empties it
    }

    void EveryFormatVersionOpens() {
        ProgramFolder pf;
        // The store holds the personal code the golden archives were made with.
        KeyStoreValues values;
        values.personal_code = tazu::test::StoreA().personal_code;
        values.key_mark = tazu::test::StoreA().key_mark;
        SeededRandom random(5);
        QCOMPARE(WriteKeyStoreFile(pf.store(), Str255(), values, random), KeyStoreSaveCode::kOk);
        pf.Start();
        for (int version = 0; version <= 7; ++version) {
            const std::string name = "golden-0" + std::to_string(version) + ".shf";
            fs::copy_file(fs::path(TAZU_TEST_DATA_DIR) / name, pf.folder() / name);
            TForm1* m = pf.windows().form1;
            m->OpenFolder(pf.folder());
            m->FileListBox1->setCurrentItem(
                m->FileListBox1->findItems(QString::fromStdString(name), Qt::MatchExactly)[0]);
            QString message;
            const fs::path out = pf.folder() / ("out" + std::to_string(version));
            AnswerModal("TForm7", [&](QWidget* w) {
                auto* d = static_cast<TForm7*>(w);
                d->LabeledEdit1->setText(PathText(out));
                d->LabeledEdit2->setText("correct horse");
                ExpectMessage(&message);
                d->SpeedButton2->click();
                d->SpeedButton1->click();
            });
            m->SpeedButton3->click();
            QCOMPARE(message, QString("Расшифровка успешно завершена"));
            QCOMPARE(ListTree(out).size(), std::size_t{2});
        }
    }

    void AnotherKeyStoresPersonalCodeIsIncompatible() {
        DecryptSetup s;
        const fs::path one = s.pf.folder() / "one.txt";
        WriteFile(one, "personal");
        SeededRandom mask_random(8);
        KeyStore other(mask_random);
        const fs::path other_store = s.pf.folder() / "other.key";
        SeededRandom random(9);
        CreateKeyStoreFile(other_store, Str255(), 0, random);
        QCOMPARE(other.Load(other_store, Str255()), KeyStoreLoadCode::kOk);
        MakeArchive(other, one, s.pf.folder() / "one.shf", "pw", true);
        s.Choose(s.pf.folder() / "one.shf");
        QString message, indicator;
        s.InDialog([&](TForm7* d) {
            message = s.Decrypt(d, "pw", s.out());
            indicator = s.pf.windows().form9->StaticText6->text();
        });
        QCOMPARE(message, QString("Файл не совместим с данной копией программы"));
        QVERIFY(!fs::exists(s.out() / "one.txt"));
    }

    void PickerSavesOrLeavesTheDestination() {
        DecryptSetup s;
        fs::create_directories(s.pf.folder() / "Target");
        QString after_save, after_cancel;
        s.InDialog([&](TForm7* d) {
            AnswerModal("TForm8", [&](QWidget* w) {
                auto* p = static_cast<TForm8*>(w);
                p->MaskEdit1->setText(PathText(s.pf.folder() / "Target"));
                SavePicture(w, "TForm8");
                Click(w, "SpeedButton1");
            });
            d->SpeedButton3->click();
            after_save = d->LabeledEdit1->text();
            AnswerModal("TForm8", [&](QWidget* w) {
                static_cast<TForm8*>(w)->MaskEdit1->setText("/elsewhere");
                Click(w, "SpeedButton2");
            });
            d->SpeedButton3->click();
            after_cancel = d->LabeledEdit1->text();
        });
        QCOMPARE(after_save, PathText(s.pf.folder() / "Target"));
        QCOMPARE(after_cancel, after_save);
    }

    void NamesAreShownWithControlCharactersEscaped() {
        DecryptSetup s;
        const fs::path src = s.pf.folder() / "evil";
        fs::create_directories(src);
        WriteFile(src / "a\nb\x1b[31m", "x");
        MakeArchive(*s.pf.session().key_store, src / "a\nb\x1b[31m", s.pf.folder() / "evil.shf",
                    "pw");
        s.Choose(s.pf.folder() / "evil.shf");
        fs::create_directories(s.out());
        WriteFile(s.out() / "a\nb\x1b[31m", "old");
        QString shown;
        s.InDialog([&](TForm7* d) {
            AnswerModal("TForm11", [&](QWidget* w) {
                shown = static_cast<TForm11*>(w)->LabeledEdit1->text();
                static_cast<TForm11*>(w)->RadioButton1->setChecked(true);
                AnswerModal("TForm5", [](QWidget* m) { Click(m, "SpeedButton1"); });
                Click(w, "SpeedButton1");
            });
            d->LabeledEdit1->setText(PathText(s.out()));
            d->LabeledEdit2->setText("pw");
            d->SpeedButton2->click();
        });
        QVERIFY2(shown.endsWith("a\\x0Ab\\x1B[31m"), qPrintable(shown));
        QCOMPARE(ReadFile(s.out() / "a\nb\x1b[31m"), std::string("x"));  // the real name
    }
};

}  // namespace tazu::test

QTEST_MAIN(tazu::test::DecryptDialogTest)
#include "decrypt_dialog_test.moc"
