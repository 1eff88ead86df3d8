// The windows in English: every window's captions, labels, buttons and
// accessible names come from the English catalogue, none is left in
// Russian, and no text is cut. Pictures of every window land in the test
// output folder (run with QT_SCALE_FACTOR=2 for the 200 % ones).
#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "tests/support/test_files.h"
#include "ui/language.h"
#include "ui/password_strength.h"
#include "ui/unit1.h"
#include "ui/unit10.h"
#include "ui/unit11.h"
#include "ui/unit12.h"
#include "ui/unit13.h"
#include "ui/unit15.h"
#include "ui/unit2.h"
#include "ui/unit3.h"
#include "ui/unit4.h"
#include "ui/unit5.h"
#include "ui/unit6.h"
#include "ui/unit7.h"
#include "ui/unit8.h"
#include "ui/unit9.h"
#include "ui_test_support.h"

namespace tazu::test {

namespace {

bool Russian(const QString& text) {
    return HasCyrillic(text.toStdString());
}

// Every text a window shows or names, with the control it belongs to.
QStringList TextsOf(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        texts << w->accessibleName() << w->accessibleDescription() << w->toolTip();
        if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {  // the help topics
            texts << text->toPlainText();
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            texts << label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            texts << button->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            texts << group->title();
        } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                texts << tabs->tabText(i);
            }
        }
    }
    return texts;
}

// Controls on one line whose text needs more room than they were given.
QStringList CutTexts(QWidget* window) {
    QStringList cut;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(w);
        const bool one_line =
            (label != nullptr && !label->wordWrap() && !label->text().isEmpty()) ||
            qobject_cast<QAbstractButton*>(w) != nullptr;
        if (one_line && w->isVisible() && w->width() < w->minimumSizeHint().width()) {
            cut << w->objectName() + ": " + (label ? label->text() : w->accessibleName());
        }
    }
    return cut;
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        QVERIFY(InstallWindowTexts(Language::kEnglish));
        SetLanguage(Language::kEnglish);
    }
    void cleanup() {
        InstallWindowTexts(Language::kRussian);
        SetLanguage(Language::kRussian);
    }

    void EveryWindowSpeaksEnglish() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        Windows& w = pf.windows();
        QCOMPARE(w.form1->PageControl1->tabText(0), QString("Main menu"));
        QCOMPARE(w.form1->SpeedButton1->text(), QString("Exit the program"));
        QCOMPARE(w.form3->windowTitle(), QString("Encryption"));
        QCOMPARE(w.form4->windowTitle(), QString("Encryption progress"));
        QCOMPARE(w.form7->windowTitle(), QString("Decryption"));
        QCOMPARE(w.form9->windowTitle(), QString("Decryption"));
        QCOMPARE(w.form11->RadioButton2->text(), QString("Skip the file (do not replace)"));
        QCOMPARE(w.form10->RadioButton2->text(), QString("Cancel the encryption"));
        QCOMPARE(w.form1->findChild<QLabel*>("LanguageNote")->text().left(22),
                 QString("The program's language"));
        // The strength lines with a weak password's reason, and their tool tips.
        w.form3->LabeledEdit2->setText("qwerty2024");
        w.form12->LabeledEdit1->setText("qwerty2024");
        QVERIFY2(w.form3->StrengthLine->Text->text().contains(": guessing takes "),
                 qPrintable(w.form3->StrengthLine->Text->text()));

        const QList<QWidget*> windows{w.form1,  w.form2,  w.form3,  w.form4, w.form5,
                                      w.form6,  w.form7,  w.form8,  w.form9, w.form10,
                                      w.form11, w.form12, w.form13, w.form15};
        const QString out = QString(TAZU_TEST_OUTPUT_DIR) + "/language";
        QDir().mkpath(out);
        const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1");
        for (QWidget* window : windows) {
            for (const QString& text : TextsOf(window)) {
                QVERIFY2(!Russian(text), qPrintable(window->objectName() + ": " + text));
            }
            window->show();
            QApplication::processEvents();
            const QStringList cut = CutTexts(window);
            QVERIFY2(cut.isEmpty(), qPrintable(window->objectName() + ": " + cut.join("; ")));
            window->grab().save(out + "/en-" + window->objectName() + "-x" + scale + ".png");
            window->hide();
        }
        for (int tab = 1; tab < w.form1->PageControl1->count(); ++tab) {  // Settings, Help, About
            w.form1->PageControl1->setCurrentIndex(tab);
            w.form1->show();
            QApplication::processEvents();
            QVERIFY2(CutTexts(w.form1).isEmpty(), qPrintable(CutTexts(w.form1).join("; ")));
            w.form1->grab().save(out + QString("/en-TForm1-tab%1-x").arg(tab) + scale + ".png");
            w.form1->hide();
        }
    }

    // The same windows made again in the C locale's language are Russian:
    // the catalogue goes as it came.
    void RussianComesBack() {
        cleanup();
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        QCOMPARE(pf.windows().form1->PageControl1->tabText(0), QString("Главное меню"));
    }
};

}  // namespace tazu::test

QTEST_MAIN(tazu::test::LanguageTest)
#include "language_test.moc"
