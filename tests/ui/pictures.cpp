// Pictures of the main window's four pages and of the status window, saved
// under the test output folder for a look by eye. Not a test: it checks
// nothing and is not registered with CTest; run ui_pictures by hand.
#include <QTabWidget>
#include <QtTest>

#include "ui/unit1.h"
#include "ui/unit15.h"
#include "ui_test_support.h"

namespace tazu::test {

class Pictures : public QObject {
    Q_OBJECT

  private slots:
    void MainWindowAndStatus() {
        ProgramFolder pf;
        pf.MakeStub();
        pf.MakeStore("", 0x18);
        pf.Start();
        TForm1* m = pf.windows().form1;
        const char* names[] = {"TForm1-main", "TForm1-settings", "TForm1-help", "TForm1-about"};
        for (int i = 0; i < 4; ++i) {
            m->PageControl1->setCurrentIndex(i);
            SavePicture(m, names[i]);
        }
        TForm15* status = pf.windows().form15;
        status->ShowStatus(m, "Статус:", "Чтение/Запись");
        status->SetProgress(40);
        SavePicture(status, "TForm15");
        status->HideStatus();
    }
};

}  // namespace tazu::test

QTEST_MAIN(tazu::test::Pictures)
#include "pictures.moc"
