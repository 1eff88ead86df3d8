// The main window once the store is loaded: the two file options, the save
// triggers, the browser's object choice, help topics, the About pictures
// and the self-check. Pictures of these windows: tests/ui/pictures.cpp.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "ui/self_check.h"
#include "ui/unit1.h"
#include "ui/unit10.h"
#include "ui/unit11.h"
#include "ui/unit15.h"
#include "ui/unit3.h"
#include "ui/unit4.h"
#include "ui/unit6.h"
#include "ui/unit7.h"
#include "ui/unit8.h"
#include "ui/unit9.h"
#include "ui/widgets.h"
#include "ui_test_support.h"

namespace tazu::test {

// Clicks something that raises one notification; returns its text.
template <typename Action>
QString NotificationOf(Action action) {
    QString text = "(none)";
    AnswerNextModal([&](QWidget* w) {
        if (auto* label = w->findChild<QLabel*>("StaticText1")) {
            text = label->text();
        }
        Click(w, "SpeedButton1");
    });
    action();
    return text;
}

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // Screen readers and tests that drive the program through the
    // accessibility bus find every control that takes the focus by its name.
    void EveryControlHasAnAccessibleName() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        Windows& w = pf.windows();
        const QList<QWidget*> windows{w.form1, w.form3, w.form4,  w.form6, w.form7,
                                      w.form8, w.form9, w.form10, w.form11};
        for (QWidget* window : windows) {
            for (QWidget* control : window->findChildren<QWidget*>()) {
                if (control->focusPolicy() == Qt::NoFocus || control->isWindow() ||
                    qobject_cast<QTabWidget*>(control->parentWidget()) != nullptr ||
                    control->objectName().startsWith("qt_")) {
                    continue;
                }
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
                QVERIFY(face != nullptr);
                QVERIFY2(!face->text(QAccessible::Name).isEmpty(),
                         qPrintable(window->objectName() + "." + control->objectName() + " (" +
                                    control->metaObject()->className() + ")"));
            }
        }
    }

    void FileOptionsStayApart() {
        ProgramFolder pf;
        pf.MakeStub();
        pf.MakeStore("", 0x00);
        pf.Start();
        TForm1* m = pf.windows().form1;
        m->CheckBox2->setChecked(true);
        QVERIFY(!m->CheckBox3->isEnabled());
        QVERIFY(!m->CheckBox3->isChecked());
        m->CheckBox2->setChecked(false);
        QVERIFY(m->CheckBox3->isEnabled());
        m->CheckBox3->setChecked(true);
        QVERIFY(!m->CheckBox2->isEnabled());
        QVERIFY(!m->CheckBox2->isChecked());
        m->CheckBox3->setChecked(false);
        QVERIFY(m->CheckBox2->isEnabled());
    }

    void StoredByteWithBothOptionsLoadsWithNeither() {
        ProgramFolder pf;
        pf.MakeStub();
        pf.MakeStore("", 0x60);
        pf.Start();
        TForm1* m = pf.windows().form1;
        QVERIFY(!m->CheckBox2->isChecked());
        QVERIFY(!m->CheckBox3->isChecked());
        QVERIFY(m->CheckBox2->isEnabled());
        QVERIFY(m->CheckBox3->isEnabled());
    }

    void MissingStubMakesSelfDecryptingUnavailable() {
        ProgramFolder pf;
        pf.MakeStore("", 0x20);  // stored with the self-decrypting option on
        pf.Start();
        TForm1* m = pf.windows().form1;
        QVERIFY(!m->CheckBox3->isChecked());
        QVERIFY(!m->CheckBox3->isEnabled());
        m->CheckBox2->setChecked(true);
        m->CheckBox2->setChecked(false);
        QVERIFY(!m->CheckBox3->isEnabled());
    }

    void ExitSavesOnlyWithSaveOnExit() {
        ProgramFolder pf;
        pf.MakeStore("", 0x83);  // bits 7, 1 and 0 carry no switch and are kept
        pf.Start();
        const std::string before = ReadAll(pf.store());
        TForm1* m = pf.windows().form1;
        m->CheckBox4->setChecked(true);
        m->SpeedButton1->click();
        QCOMPARE(pf.terminated, 1);
        QCOMPARE(ReadAll(pf.store()), before);

        pf.Start();
        m = pf.windows().form1;
        m->CheckBox4->setChecked(true);
        m->close();  // the title bar: ends without saving even with save on exit
        QCOMPARE(pf.terminated, 1);
        QCOMPARE(ReadAll(pf.store()), before);

        pf.Start();
        m = pf.windows().form1;
        m->CheckBox5->setChecked(true);
        m->CheckBox4->setChecked(true);
        m->SpeedButton1->click();
        QCOMPARE(pf.terminated, 1);
        QVERIFY(ReadAll(pf.store()) != before);
        QCOMPARE(pf.session().key_store->Settings(), std::uint8_t{0x9B});

        // Nothing changed since the last save: exit writes nothing.
        pf.Start();
        const std::string saved = ReadAll(pf.store());
        pf.windows().form1->SpeedButton1->click();
        QCOMPARE(ReadAll(pf.store()), saved);
    }

    void SaveNowAlwaysWrites() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        TForm1* m = pf.windows().form1;
        m->CheckBox2->setChecked(true);
        const std::string before = ReadAll(pf.store());
        QCOMPARE(NotificationOf([&] { m->SpeedButton4->click(); }),
                 QString("Ключ успешно сохранен"));
        const std::string first = ReadAll(pf.store());
        QCOMPARE(NotificationOf([&] { m->SpeedButton4->click(); }),
                 QString("Ключ успешно сохранен"));
        const std::string second = ReadAll(pf.store());
        QVERIFY(first != before);
        QVERIFY(second != first);  // fresh salt and noise every time
        pf.Start();
        QVERIFY(pf.windows().form1->CheckBox2->isChecked());
    }

    void FailedSaveShowsItsMessageAndKeepsTheStoredByte() {
        ProgramFolder pf;
        pf.MakeStore("", 0x08);
        pf.Start();
        TForm1* m = pf.windows().form1;
        std::filesystem::remove_all(pf.folder());
        m->CheckBox4->setChecked(true);
        QCOMPARE(NotificationOf([&] { m->SpeedButton4->click(); }),
                 QString("Ошибка записи ключа, возможно он поврежден"));
        QCOMPARE(pf.session().key_store->Settings(), std::uint8_t{0x08});
        // The exit tries again, fails again, and still ends the run.
        QCOMPARE(NotificationOf([&] { m->SpeedButton1->click(); }),
                 QString("Ошибка записи ключа, возможно он поврежден"));
        QCOMPARE(pf.terminated, 1);
    }

    void BrowserChoosesFoldersAndFiles() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        std::filesystem::create_directory(pf.folder() / "Папка");
        std::ofstream(pf.folder() / "Папка" / "a.txt") << "a";
        pf.Start();
        TForm1* m = pf.windows().form1;
        m->OpenFolder(pf.folder());
        QCOMPARE(m->LabeledEdit1->text(), PathText(pf.folder()));
        QVERIFY(!m->SpeedButton3->isEnabled());

        // A single click on a subfolder opens it.
        const auto items = m->DirectoryListBox1->findItems("Папка", Qt::MatchEndsWith);
        QCOMPARE(items.size(), 1);
        const QRect rect = m->DirectoryListBox1->visualItemRect(items[0]);
        QTest::mouseClick(m->DirectoryListBox1->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(m->CurrentFolder(), pf.folder() / "Папка");
        QCOMPARE(m->FileListBox1->count(), 1);

        m->FileListBox1->setCurrentRow(0);
        QVERIFY(m->SpeedButton3->isEnabled());
        QCOMPARE(m->ChosenObject(), pf.folder() / "Папка" / "a.txt");
        QCOMPARE(m->LabeledEdit1->text(), PathText(pf.folder() / "Папка" / "a.txt"));

        // The folder's own entry leads back up and the choice is a folder again.
        m->OpenFolder(pf.folder());
        QVERIFY(!m->SpeedButton3->isEnabled());
        QCOMPARE(m->ChosenObject(), pf.folder());
        QVERIFY(m->DriveComboBox1->count() >= 1);
        QCOMPARE(m->DriveComboBox1->itemText(0).left(1), QString("/"));
    }

    void HelpTopicsShowOneText() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        TForm1* m = pf.windows().form1;
        QCOMPARE(m->ComboBox1->count(), 6);
        QVERIFY(!m->Memo[0]->isHidden());
        m->ComboBox1->setCurrentIndex(5);
        m->ComboBox1Select(5);
        for (int i = 0; i < 5; ++i) {
            QVERIFY(m->Memo[static_cast<std::size_t>(i)]->isHidden());
        }
        QVERIFY(!m->Memo[5]->isHidden());
        QVERIFY(m->Memo[2]->toPlainText().contains("/filr:"));
        QVERIFY(m->Memo[2]->toPlainText().contains("/parh:"));
    }

    void AboutPictureSwapsAndIsKept() {
        ProgramFolder pf;
        pf.MakeStore("", 0x08);
        pf.Start();
        TForm1* m = pf.windows().form1;
        m->PageControl1->setCurrentIndex(3);
        QVERIFY(!m->Image1->pixmap().isNull());
        QVERIFY(!m->Image2->pixmap().isNull());  // the JPEG decoded
        QTest::mouseClick(m->Image1, Qt::LeftButton);
        QVERIFY(m->Image1->isHidden());
        QVERIFY(!m->Image2->isHidden());
        QCOMPARE(m->CurrentSettingsByte(), std::uint8_t{0x0C});
        QTest::mouseClick(m->Image2, Qt::LeftButton);
        QVERIFY(!m->Image1->isHidden());
        QTest::mouseClick(m->Image1, Qt::LeftButton);
        m->SpeedButton1->click();  // saved on exit
        pf.Start();
        QVERIFY(pf.windows().form1->Image1->isHidden());
        QVERIFY(!pf.windows().form1->Image2->isHidden());
    }

    void SelfCheckTellsIntactFromChanged() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        const auto program = pf.folder() / "tazu16x32";
        std::ofstream(program, std::ios::binary) << std::string(100000, 'p');
        std::string error;
        QVERIFY(SignProgramFile(program, error));
        pf.Start();
        TForm1* m = pf.windows().form1;
        TForm15* status = pf.windows().form15;
        QCOMPARE(NotificationOf([&] { m->SpeedButton5->click(); }),
                 QString("Проверка пройдена: файл программы не изменен"));
        QCOMPARE(status->ProgressBar1->value(), 100);
        QVERIFY(!status->isVisible());

        std::string bytes = ReadAll(program);
        bytes[5000] ^= 1;
        std::ofstream(program, std::ios::binary | std::ios::trunc) << bytes;
        QCOMPARE(NotificationOf([&] { m->SpeedButton5->click(); }),
                 QString("Внимание: файл программы изменен или поврежден!"));
    }
};

}  // namespace tazu::test

QTEST_MAIN(tazu::test::MainWindowTest)
#include "main_window_test.moc"
