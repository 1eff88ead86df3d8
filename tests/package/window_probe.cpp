// A probe loaded into the installed window program with LD_PRELOAD, so the
// test drives the real installed file without any test hook in it. When
// TAZU_PROBE_REPORT names a file, it watches the windows once the event loop
// runs and writes one line per thing seen:
//   note: TEXT        a message box (the first-store note), then accepted
//   note-button: TEXT each of its buttons
//   main: enabled     the main window is shown and takes input, followed by
//   object: TEXT      the chosen object and
//   decrypt: on|off   whether "Расшифровать файл" is enabled
//   dialog: CAPTION   the encrypt or decrypt dialog opened, then closed with "Назад"
//   selfcheck: TEXT   the outcome of "Выполнить проверку собственного кода"
//   prompt: TEXT      the key-store prompt is shown, with its status line
//   timeout           none of that within 30 seconds
// The run then ends with status 0 (3 on a timeout).
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

namespace {

class Probe : public QObject {
  public:
    explicit Probe(const QString& report) : QObject(qApp), report_(report) {
        report_.open(QIODevice::WriteOnly | QIODevice::Truncate);
        clock_.start();
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] { Step(); });
        timer->start(50);
    }

  private:
    enum class State { kWaitForMain, kChecking, kDone };

    void Write(const QString& line) {
        report_.write(line.toUtf8() + "\n");
        report_.flush();
    }

    static QWidget* TopLevel(const char* name) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String(name)) {
                return w;
            }
        }
        return nullptr;
    }

    static QString LabelText(QWidget* window, const char* name) {
        auto* label = window->findChild<QLabel*>(QLatin1String(name));
        return label != nullptr ? label->text() : QString();
    }

    // True when a modal window was answered.
    bool AnswerModal() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return false;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Write("note: " + box->text().replace('\n', ' '));
            for (QAbstractButton* button : box->buttons()) {
                Write("note-button: " + button->text());
            }
            box->accept();
        } else if (modal->objectName() == QLatin1String("TForm3") ||
                   modal->objectName() == QLatin1String("TForm7")) {
            Write("dialog: " + modal->windowTitle());
            if (auto* back = modal->findChild<QAbstractButton*>("SpeedButton1")) {
                back->click();
            }
        } else if (modal->objectName() == QLatin1String("TForm5")) {
            const bool check = state_ == State::kChecking;
            Write((check ? "selfcheck: " : "message: ") + LabelText(modal, "StaticText1"));
            if (auto* ok = modal->findChild<QAbstractButton*>("SpeedButton1")) {
                ok->click();
            }
            if (check) {
                state_ = State::kDone;
            }
        }
        return true;
    }

    void Step() {
        if (clock_.elapsed() > 30000) {
            Write("timeout");
            QCoreApplication::exit(3);
            return;
        }
        if (AnswerModal()) {
            return;
        }
        if (state_ == State::kDone) {
            QCoreApplication::exit(0);
            return;
        }
        QWidget* prompt = TopLevel("TForm2");
        if (prompt != nullptr && prompt->isVisible()) {
            Write("prompt: " + LabelText(prompt, "StaticText2"));
            state_ = State::kDone;
            return;
        }
        QWidget* main = TopLevel("TForm1");
        if (state_ == State::kWaitForMain && main != nullptr && main->isVisible() &&
            main->isEnabled()) {
            Write("main: enabled");
            if (auto* object = main->findChild<QLineEdit*>("LabeledEdit1")) {
                Write("object: " + object->text());
            }
            if (auto* decrypt = main->findChild<QAbstractButton*>("SpeedButton3")) {
                Write(QString("decrypt: ") + (decrypt->isEnabled() ? "on" : "off"));
            }
            if (auto* check = main->findChild<QAbstractButton*>("SpeedButton5")) {
                state_ = State::kChecking;
                QMetaObject::invokeMethod(check, &QAbstractButton::click, Qt::QueuedConnection);
            } else {
                state_ = State::kDone;
            }
        }
    }

    QFile report_;
    QElapsedTimer clock_;
    State state_ = State::kWaitForMain;
};

void StartProbe() {
    if (const char* report = std::getenv("TAZU_PROBE_REPORT"); report != nullptr && *report) {
        new Probe(QString::fromLocal8Bit(report));
    }
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)
