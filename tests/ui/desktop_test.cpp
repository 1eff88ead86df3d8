// The main window as the desktop reaches it: an object chosen from outside
// (the command line's path, a drop), the browser refilled after a run, and
// the keyboard: Enter on a focused button presses it, Escape in a progress
// window aborts, the report opens at the start of its lines.
#include <QCheckBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>
#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "ui/unit1.h"
#include "ui/unit10.h"
#include "ui/unit11.h"
#include "ui/unit13.h"
#include "ui/unit4.h"
#include "ui/unit5.h"
#include "ui/unit9.h"
#include "ui/widgets.h"

namespace tazu::test {

// Keeps the report lines of a run.
class ReportingHost final : public EncryptHost {
  public:
    void AddBytesProcessed(std::int64_t) override {}
    void AddFileEncrypted() override {}
    void ProcessEvents() override {}
    void AppendReport(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

class DesktopTest : public QObject {
    Q_OBJECT

  private slots:
    // An archive is chosen as a click in the file list chooses it; a folder
    // opens and is chosen, and "Расшифровать файл" is off for it.
    void ChosenFromOutsideAsIfPicked() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        TForm1* m = pf.windows().form1;
        const fs::path archive = pf.folder() / "sub" / "Docs.shf";
        fs::create_directories(archive.parent_path());
        fs::copy_file(fs::path(TAZU_TEST_DATA_DIR) / "golden-02.shf", archive);

        QVERIFY(m->ChooseObject(archive));
        QCOMPARE(m->ChosenObject(), archive);
        QCOMPARE(m->CurrentFolder(), archive.parent_path());
        QVERIFY(m->SpeedButton3->isEnabled());
        QCOMPARE(m->LabeledEdit1->text(), PathText(archive));
        QCOMPARE(m->FileListBox1->selectedItems().size(), 1);
        QCOMPARE(m->FileListBox1->selectedItems().front()->text(), QString("Docs.shf"));

        QVERIFY(m->ChooseObject(pf.folder()));
        QCOMPARE(m->ChosenObject(), pf.folder());
        QVERIFY(!m->SpeedButton3->isEnabled());
        QVERIFY(!m->ChooseObject(pf.folder() / "missing.shf"));
        QCOMPARE(m->ChosenObject(), pf.folder());

        // A file a run wrote shows at once; the chosen file stays selected.
        QVERIFY(m->ChooseObject(archive));
        std::ofstream(archive.parent_path() / "Docs.txt") << "x";
        m->RefreshBrowser();
        QCOMPARE(m->FileListBox1->count(), 2);
        QCOMPARE(m->FileListBox1->selectedItems().front()->text(), QString("Docs.shf"));
        QCOMPARE(m->ChosenObject(), archive);
    }

    void DropChoosesTheObject() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        TForm1* m = pf.windows().form1;
        const fs::path file = pf.folder() / "dropped.txt";
        std::ofstream(file) << "x";
        auto drop = [m](const QList<QUrl>& urls) {
            QMimeData data;
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(m, &enter);
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(m, &event);
            return enter.isAccepted();
        };
        QVERIFY(drop({QUrl::fromLocalFile(PathText(file))}));
        QCOMPARE(m->ChosenObject(), file);
        QVERIFY(m->SpeedButton3->isEnabled());
        // Two things, or something that is not a local file, choose nothing.
        const QUrl folder = QUrl::fromLocalFile(PathText(pf.folder()));
        QVERIFY(!drop({folder, folder}));
        QVERIFY(!drop({QUrl("https://example.invalid/a.shf")}));
        QCOMPARE(m->ChosenObject(), file);
        QVERIFY(drop({folder}));
        QCOMPARE(m->ChosenObject(), pf.folder());
    }

    void ReportOpensAtTheStartOfItsLines() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        TForm13* report = pf.windows().form13;
        for (int i = 0; i < 40; ++i) {
            report->AppendReportLine("-) Файл: /home/ann/" + QString(300, QChar('a' + i % 26)));
        }
        int horizontal = -1, vertical = -1, most = 0;
        AnswerNextModal([&](QWidget* w) {
            horizontal = report->Memo1->horizontalScrollBar()->value();
            most = report->Memo1->horizontalScrollBar()->maximum();
            vertical = report->Memo1->verticalScrollBar()->value();
            Click(w, "SpeedButton1");
        });
        report->ShowReportIfAny();
        QVERIFY(most > 0);  // the lines are wider than the window
        QCOMPARE(horizontal, 0);
        QCOMPARE(vertical, 0);
    }

    // Enter on the focused button presses it, in the main window and in
    // every window with an "ОК" or "Закрыть".
    void EnterPressesTheFocusedButton() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        Windows& w = pf.windows();
        auto enter_on = [](const char* button) {
            return [button](QWidget* window) {
                auto* b = window->findChild<QPushButton*>(button);
                QVERIFY(b != nullptr);
                b->setFocus();
                QTest::keyClick(b, Qt::Key_Return);
                if (window->isVisible()) {
                    CloseAllModals();  // Enter did nothing: fail below, do not hang
                }
            };
        };
        QString opened;
        AnswerNextModal([&](QWidget* d) {
            opened = d->windowTitle();
            enter_on("SpeedButton1")(d);  // "Назад"
        });
        w.form1->SpeedButton2->setFocus();
        QTest::keyClick(w.form1->SpeedButton2, Qt::Key_Enter);  // "Зашифровать объект"
        QCOMPARE(opened, QString("Шифрование"));

        AnswerNextModal(enter_on("SpeedButton1"));
        QVERIFY(w.form10->Ask(w.form1, "/tmp/a.shf"));
        AnswerNextModal(enter_on("SpeedButton1"));
        QVERIFY(w.form11->Ask(w.form1, "/tmp/a.txt"));
        AnswerNextModal(enter_on("SpeedButton1"));
        w.form5->ShowMessage(w.form1, "x");
        w.form13->AppendReportLine("line");
        AnswerNextModal(enter_on("SpeedButton1"));
        w.form13->ShowReportIfAny();
        QVERIFY(!w.form13->HasReport());  // closed by Enter, which clears it
    }

    void EscapeInAProgressWindowAborts() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        for (ProgressWindow* progress : {static_cast<ProgressWindow*>(pf.windows().form4),
                                         static_cast<ProgressWindow*>(pf.windows().form9)}) {
            QSignalSpy abort(progress, &ProgressWindow::AbortRequested);
            progress->show();
            QTest::keyClick(progress, Qt::Key_Escape);
            QCOMPARE(abort.count(), 1);
            progress->hide();
        }
    }

    // An archive written inside the folder being encrypted is passed over,
    // and its report line names the archive, not its temporary file.
    void ReportNamesTheArchiveInsideTheFolder() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        const fs::path docs = pf.folder() / "Docs";
        fs::create_directories(docs);
        std::ofstream(docs / "a.txt") << "alpha";
        const fs::path archive = docs / "inside.shf";
        SeededRandom random(5);
        EncryptRunState state;
        ReportingHost host;
        EncryptCode code = EncryptCode::kOk;
        const KeyStore& store = *pf.session().key_store;
        QVERIFY(EncryptObject(Str255("pw"), store.GetKeyStoreValue(2), store.GetKeyStoreValue(3),
                              archive, docs, false, EncryptMode::kFolder, code,
                              EncryptContext{state, host, random}));
        QCOMPARE(host.lines.size(), std::size_t{1});
        const std::string& line = host.lines.front();
        QVERIFY2(line.find(archive.string()) != std::string::npos, line.c_str());
        QVERIFY2(line.find(".part") == std::string::npos, line.c_str());
    }

    // Without a stub the self-decrypting switch is grey and its tip says
    // where the stub was looked for; with one, no tip.
    void GreySelfDecryptingSwitchSaysWhy() {
        ProgramFolder bare;
        bare.MakeStore("", 0x00);
        bare.Start();
        QCheckBox* grey = bare.windows().form1->CheckBox3;
        QVERIFY(!grey->isEnabled());
        QVERIFY2(grey->toolTip().contains("Tazu16x32.SFX"), qPrintable(grey->toolTip()));
        QVERIFY(grey->toolTip().contains(PathText(bare.folder())));
        ProgramFolder with_stub;
        with_stub.MakeStub();
        with_stub.MakeStore("", 0x00);
        with_stub.Start();
        QVERIFY(with_stub.windows().form1->CheckBox3->isEnabled());
        QVERIFY(with_stub.windows().form1->CheckBox3->toolTip().isEmpty());
    }

    // A refused output name says why on a second line.
    void RefusedNameSaysWhy() {
        ProgramFolder pf;
        pf.MakeStore("", 0x00);
        pf.Start();
        TForm5* note = pf.windows().form5;
        QString shown;
        int height = 0;
        AnswerNextModal([&](QWidget* w) {
            shown = note->StaticText1->text();
            height = w->height();
            Click(w, "SpeedButton1");
        });
        note->ShowMessage(pf.windows().form1, "Имя нового файла задано неверно\nПричина.");
        QCOMPARE(shown, QString("Имя нового файла задано неверно\nПричина."));
        QVERIFY(height > 104);
    }
};

}  // namespace tazu::test

QTEST_MAIN(tazu::test::DesktopTest)
#include "desktop_test.moc"
