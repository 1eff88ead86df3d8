// The notification window's placement and one-line field, and the report
// list that only closing its window clears.
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include "ui/unit13.h"
#include "ui/unit5.h"
#include "ui_test_support.h"

namespace tazu::test {

class MessagesTest : public QObject {
    Q_OBJECT

  private slots:
    void NotificationCentresOverItsOwner_data() {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QPoint>("expected");
        // TForm5 is 460 x 104: halves of odd sizes round to the even neighbour.
        QTest::newRow("even") << QRect(100, 50, 640, 500) << QPoint(190, 248);
        QTest::newRow("half down") << QRect(10, 10, 461, 105) << QPoint(10, 10);  // 10.5 -> 10
        QTest::newRow("half up") << QRect(11, 11, 461, 105) << QPoint(12, 12);    // 11.5 -> 12
        QTest::newRow("smaller owner") << QRect(300, 200, 200, 80) << QPoint(170, 188);
    }
    void NotificationCentresOverItsOwner() {
        QFETCH(QRect, owner);
        QFETCH(QPoint, expected);
        QWidget window;
        window.setGeometry(owner);
        TForm5 note;
        QPoint where;
        AnswerNextModal([&](QWidget* w) {
            where = w->geometry().topLeft();
            Click(w, "SpeedButton1");
        });
        note.ShowMessage(&window, "Ключ успешно сохранен");
        QCOMPARE(where, expected);
    }

    void LongMessageStaysOnOneLine() {
        TForm5 note;
        const QSize size = note.size();
        const QString message = QString("Очень длинное сообщение ").repeated(10);
        QRect field;
        AnswerNextModal([&](QWidget* w) {
            field = w->findChild<QLabel*>("StaticText1")->geometry();
            SavePicture(w, "TForm5-long");
            Click(w, "SpeedButton1");
        });
        note.ShowMessage(nullptr, message);
        QCOMPARE(note.size(), size);
        QVERIFY(!note.StaticText1->wordWrap());
        QVERIFY(note.StaticText1->fontMetrics().horizontalAdvance(message) > field.width());
        AnswerNextModal([&](QWidget* w) {
            SavePicture(w, "TForm5");
            Click(w, "SpeedButton1");
        });
        note.ShowMessage(nullptr, "Введенные пароли не совпадают");
    }

    void ReportKeepsLinesUntilClosed() {
        QWidget main;
        main.setGeometry(0, 0, 640, 500);
        TForm13 report(&main);
        report.ShowReportIfAny();  // empty: does not open
        QVERIFY(!report.isVisible());

        // A failed run's lines are not shown, so they stay for the next run.
        report.AppendReportLine("-) Файл: /a - пропущен, нет доступа");
        report.AppendReportLine("-) Файл: /b - поврежден");
        QString shown;
        AnswerNextModal([&](QWidget* w) {
            shown = w->findChild<QPlainTextEdit*>("Memo1")->toPlainText();
            SavePicture(w, "TForm13");
            Click(w, "SpeedButton1");  // "Закрыть"
        });
        report.ShowReportIfAny();
        QCOMPARE(shown, QString("-) Файл: /a - пропущен, нет доступа\n-) Файл: /b - поврежден"));
        QVERIFY(!report.HasReport());

        // Closing by the title bar clears it too.
        report.AppendReportLine("Файл: /c - поврежден");
        AnswerNextModal([](QWidget* w) { w->close(); });
        report.ShowReportIfAny();
        QVERIFY(!report.HasReport());

        // And Enter, as a keyboard user closes it.
        report.AppendReportLine("Файл: /d - поврежден");
        AnswerNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        report.ShowReportIfAny();
        QVERIFY(!report.HasReport());
    }

    void EnterClosesTheNotification() {
        TForm5 note;
        bool closed_by_enter = false;
        AnswerNextModal([&](QWidget* w) {
            QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Return);
            closed_by_enter = !w->isVisible();
            if (!closed_by_enter) {
                Click(w, "SpeedButton1");
            }
        });
        note.ShowMessage(nullptr, "Ключ успешно сохранен");
        QVERIFY(closed_by_enter);
    }
};

}  // namespace tazu::test

QTEST_MAIN(tazu::test::MessagesTest)
#include "messages_test.moc"
