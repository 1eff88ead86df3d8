// Start-up of the windows on a key store: the prompt, its status texts and
// locked states, the guessing protection, and protection switched on and off
// through the new-password window.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "ui/password_strength.h"
#include "ui/unit1.h"
#include "ui/unit12.h"
#include "ui/unit2.h"
#include "ui/unit5.h"
#include "ui_test_support.h"

namespace tazu::test {

class StartupTest : public QObject {
    Q_OBJECT

    static void Type(TForm2* prompt, const QString& password) {
        prompt->LabeledEdit1->setText(password);
        QTest::keyClick(prompt->LabeledEdit1, Qt::Key_Return);  // Enter presses "Продолжить"
    }

  private slots:
    void UnprotectedStoreOpensWithoutPrompt() {
        ProgramFolder pf;
        pf.MakeStore("", 0x18);
        pf.Start();
        TForm1* main = pf.windows().form1;
        QVERIFY(main->isEnabled());
        QVERIFY(!pf.windows().form2->isVisible());
        QVERIFY(!main->CheckBox1->isChecked());
        QVERIFY(main->CheckBox4->isChecked());
        QVERIFY(main->CheckBox5->isChecked());
        QVERIFY(main->CheckBox6->isChecked());
        QVERIFY(main->CheckBox6->isHidden());
        QCOMPARE(main->StaticText10->text(), QString("Ключ активен."));
    }

    void ProtectedStoreAsksUntilTheRightPassword() {
        ProgramFolder pf;
        pf.MakeStore("Пароль 1", 0x00);
        pf.Start();
        TForm1* main = pf.windows().form1;
        TForm2* prompt = pf.windows().form2;
        QVERIFY(!main->isEnabled());
        QVERIFY(prompt->isVisible());
        QCOMPARE(prompt->StaticText2->text(), QString("ввод пароля"));
        SavePicture(prompt, "TForm2-prompt");

        Type(prompt, "wrong");
        QCOMPARE(prompt->StaticText2->text(), QString("пароль введен неверно"));
        QVERIFY(prompt->LabeledEdit1->text().isEmpty());
        QVERIFY(!main->isEnabled());

        Type(prompt, "Пароль 1");
        QVERIFY(main->isEnabled());
        QVERIFY(!prompt->isVisible());
        QVERIFY(main->CheckBox1->isChecked());
        QVERIFY(prompt->LabeledEdit1->text().isEmpty());
        QCOMPARE(pf.terminated, 0);
    }

    void PasswordFieldsTakeAtMost255Bytes() {
        ProgramFolder pf;
        pf.MakeStore("", 0x10);
        pf.Start();
        QLineEdit* fields[] = {pf.windows().form2->LabeledEdit1, pf.windows().form12->LabeledEdit1,
                               pf.windows().form12->LabeledEdit2};
        for (QLineEdit* field : fields) {
            field->setEnabled(true);
            for (int i = 0; i < 130; ++i) {  // two bytes each
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(u'ж')));
                QApplication::sendEvent(field, &key);
            }
            QCOMPARE(field->text().toUtf8().size(), 254);
            QTest::keyClicks(field, "ab");
            QCOMPARE(field->text().toUtf8().size(), 255);
            field->clear();
        }
    }

    void EmptyPasswordCountsButShowsNothing() {
        ProgramFolder pf;
        pf.MakeStore("secret", 0x00);
        pf.Start();
        TForm2* prompt = pf.windows().form2;
        Type(prompt, "");
        QCOMPARE(prompt->StaticText2->text(), QString("ввод пароля"));
        QCOMPARE(pf.session().password_attempt_counter, std::uint8_t{2});
    }

    void MissingOrBrokenStoreLocksThePrompt_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("status");
        QTest::newRow("missing") << QByteArray() << "файл ключа не найден";
        QTest::newRow("foreign") << QByteArray("not a key store at all")
                                 << "неверная версия файла ключа";
    }
    void MissingOrBrokenStoreLocksThePrompt() {
        QFETCH(QByteArray, content);
        QFETCH(QString, status);
        ProgramFolder pf;
        if (!content.isEmpty()) {
            std::ofstream(pf.store(), std::ios::binary) << content.toStdString();
        }
        pf.Start();
        TForm2* prompt = pf.windows().form2;
        QVERIFY(prompt->isVisible());
        QCOMPARE(prompt->StaticText2->text(), status);
        QVERIFY(!prompt->SpeedButton1->isEnabled());
        QVERIFY(!prompt->LabeledEdit1->isEnabled());
        QVERIFY(prompt->SpeedButton2->isEnabled());
        QVERIFY(!pf.windows().form1->isEnabled());
        if (content.isEmpty()) {
            SavePicture(prompt, "TForm2-missing");
        }
        prompt->SpeedButton2->click();  // "Выход"
        QCOMPARE(pf.terminated, 1);
    }

    void ClosingThePromptEndsTheRun() {
        ProgramFolder pf;
        pf.MakeStore("secret", 0x00);
        pf.Start();
        pf.windows().form2->close();
        QCOMPARE(pf.terminated, 1);
    }

    // The first call at start counts; the fifth call on draws Random(10).
    void GuessingProtection() {
        ProgramFolder pf;
        pf.MakeStore("secret", 0x00);
        ValueRandom random(3);  // draws 3: nothing happens
        pf.Start(random);
        TForm2* prompt = pf.windows().form2;
        for (int i = 0; i < 4; ++i) {
            Type(prompt, "guess");  // calls 2 to 5
        }
        QCOMPARE(pf.terminated, 0);
        QVERIFY(prompt->SpeedButton1->isEnabled());
        QCOMPARE(prompt->StaticText2->text(), QString("пароль введен неверно"));

        random.Set(9);  // lock
        Type(prompt, "guess");
        QCOMPARE(prompt->StaticText2->text(), QString("подбор пароля невозможен"));
        QVERIFY(!prompt->SpeedButton1->isEnabled());
        QVERIFY(!prompt->LabeledEdit1->isEnabled());
        QCOMPARE(pf.terminated, 0);
        SavePicture(prompt, "TForm2-locked");
        // Enter in a locked prompt does nothing.
        Type(prompt, "secret");
        QVERIFY(!pf.windows().form1->isEnabled());

        for (std::uint8_t end : {0, 7}) {
            ProgramFolder again;
            again.MakeStore("secret", 0x00);
            random.Set(3);
            again.Start(random);
            for (int i = 0; i < 3; ++i) {
                Type(again.windows().form2, "guess");
            }
            random.Set(end);
            // Even the right password on such a call ends the run.
            Type(again.windows().form2, "secret");
            QCOMPARE(again.terminated, 1);
        }
    }

    void ProtectionOnAndOffThroughTheNewPasswordWindow() {
        ProgramFolder pf;
        pf.MakeStore("", 0x10);  // passwords hidden: TForm12 asks for a confirmation
        pf.Start();
        TForm1* main = pf.windows().form1;

        // A mismatch is refused and leaves the window open; then "Сохранить".
        QString mismatch, confirmEnabled, strength;
        AnswerNextModal([&](QWidget* w) {
            auto* form12 = qobject_cast<TForm12*>(w);
            if (form12 == nullptr) {
                w->close();
                return;
            }
            confirmEnabled = form12->LabeledEdit2->isEnabled() ? "yes" : "no";
            form12->LabeledEdit1->setText("новый");
            strength = form12->StrengthLine->Text->text();
            form12->LabeledEdit2->setText("другой");
            AnswerNextModal([&](QWidget* note) {
                mismatch = note->findChild<QLabel*>("StaticText1")->text();
                Click(note, "SpeedButton1");
            });
            form12->SpeedButton1->click();
            SavePicture(form12, "TForm12-hidden");
            form12->LabeledEdit1->setText("новый");
            form12->LabeledEdit2->setText("новый");
            form12->SpeedButton1->click();
        });
        main->CheckBox1->setChecked(true);
        QCOMPARE(confirmEnabled, QString("yes"));
        QCOMPARE(mismatch, QString("Введенные пароли не совпадают"));
        QVERIFY2(strength.startsWith("очень слабый"), qPrintable(strength));
        QVERIFY(main->CheckBox1->isChecked());
        QVERIFY(pf.session().key_store->IsProtected());

        // The next start asks for the new password.
        pf.Start();
        QVERIFY(pf.windows().form2->isVisible());
        Type(pf.windows().form2, "новый");
        main = pf.windows().form1;
        QVERIFY(main->isEnabled());

        // Unchecking saves an unprotected store at once.
        main->CheckBox1->setChecked(false);
        pf.Start();
        QVERIFY(!pf.windows().form2->isVisible());
        QVERIFY(pf.windows().form1->isEnabled());
    }

    void FailedProtectionSaveLeavesTheSwitchAsTheStoreIs() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        TForm1* main = pf.windows().form1;
        const std::string before = ReadAll(pf.store());
        // The store can no longer be written where it is saved.
        pf.session().key_store_path = pf.folder() / "gone" / "Tazu16x32.key";
        QString message;
        AnswerNextModal([&](QWidget* w) {
            auto* form12 = qobject_cast<TForm12*>(w);
            if (form12 == nullptr) {
                w->close();
                return;
            }
            form12->LabeledEdit1->setText("secret");
            AnswerNextModal([&](QWidget* note) {
                message = note->findChild<QLabel*>("StaticText1")->text();
                Click(note, "SpeedButton1");
            });
            form12->SpeedButton1->click();
        });
        main->CheckBox1->setChecked(true);
        QCOMPARE(message, QString("Ошибка записи ключа, возможно он поврежден"));
        QVERIFY(!main->CheckBox1->isChecked());
        QVERIFY(!pf.session().key_store->IsProtected());
        QCOMPARE(ReadAll(pf.store()), before);
    }

    void CancellingTheNewPasswordLeavesProtectionOff() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);  // clear mode: no confirmation asked
        pf.Start();
        TForm1* main = pf.windows().form1;
        const std::string before = ReadAll(pf.store());
        QString confirmEnabled;
        AnswerNextModal([&](QWidget* w) {
            auto* form12 = qobject_cast<TForm12*>(w);
            confirmEnabled = form12 && form12->LabeledEdit2->isEnabled() ? "yes" : "no";
            if (form12 != nullptr) {
                SavePicture(form12, "TForm12-clear");
                form12->LabeledEdit1->setText("typed");
            }
            Click(w, "SpeedButton2");  // "Отмена"
        });
        main->CheckBox1->setChecked(true);
        QCOMPARE(confirmEnabled, QString("no"));
        QVERIFY(!main->CheckBox1->isChecked());
        QVERIFY(!pf.session().key_store->IsProtected());
        QVERIFY(ReadAll(pf.store()) != before);  // written at once

        // Closing the window by its title bar is a cancel too.
        AnswerNextModal([&](QWidget* w) {
            if (auto* edit = w->findChild<QLineEdit*>("LabeledEdit1")) {
                edit->setText("typed");
            }
            w->close();
        });
        main->CheckBox1->setChecked(true);
        QVERIFY(!main->CheckBox1->isChecked());
        QVERIFY(!pf.session().key_store->IsProtected());
        pf.Start();
        QVERIFY(!pf.windows().form2->isVisible());
    }
};

}  // namespace tazu::test

QTEST_MAIN(tazu::test::StartupTest)
#include "startup_test.moc"
