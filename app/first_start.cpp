#include "app/first_start.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "ui/widgets.h"

namespace tazu {
namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

QString Native(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

// While the application is being made: Qt's warnings about the platform
// plug-in are dropped, and its fatal "could not start" becomes one line of
// the program's own.
void DisplayOpeningMessage(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (type == QtFatalMsg) {
        const char* display = std::getenv("WAYLAND_DISPLAY");
        if (display == nullptr || *display == '\0') {
            display = std::getenv("DISPLAY");
        }
        std::cerr << "tazu16x32: cannot open the display " << (display != nullptr ? display : "")
                  << " to show the windows on; "
                  << "tazu16x32-cli works without one, see tazu16x32-cli --help\n";
        std::_Exit(1);
    }
    const bool platform =
        context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (!platform) {
        std::cerr << message.toLocal8Bit().constData() << '\n';
    }
}

}  // namespace

bool DisplayKnown(int argc, char** argv) {
    if (Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM")) {
        return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return true;
        }
    }
    std::cerr << "tazu16x32: no display to show the windows on (DISPLAY and WAYLAND_DISPLAY are "
                 "unset); tazu16x32-cli works without one, see tazu16x32-cli --help\n";
    return false;
}

QString PrepareFirstKeyStore(const KeyStoreLocation& location, Random& random) {
    int error_number = 0;
    switch (MakeFirstKeyStore(location, kFirstStoreSettings, random, error_number)) {
        case FirstStoreOutcome::kNotFirst:
            return {};
        case FirstStoreOutcome::kMade:
            return QCoreApplication::translate(
                       "tazu::FirstStart",
                       "Создан новый файл ключа:\n%1\n\n"
                       "Сохраните его копию в надежном месте. Файлы, зашифрованные с "
                       "персональным кодом, открываются только с этим ключом.")
                .arg(Native(location.path));
        case FirstStoreOutcome::kFailed:
            break;
    }
    const std::string cause =
        KeyStoreSaveCause(KeyStoreSaveCode::kCannotCreate, error_number, location.path);
    return QCoreApplication::translate("tazu::FirstStart",
                                       "Не удалось создать файл ключа:\n%1\n(%2)")
        .arg(Native(location.path), QString::fromStdString(cause));
}

void GuardDisplayOpening() {
    qInstallMessageHandler(&DisplayOpeningMessage);
}

void DisplayOpened() {
    qInstallMessageHandler(nullptr);
}

void ShowFirstStoreNote(QWidget* main_window, const QString& note, std::function<void()> then) {
    QTimer::singleShot(0, main_window, [main_window, note, then = std::move(then)] {
        if (!note.isEmpty()) {
            QMessageBox box(QMessageBox::Information, "Tazu16x32", note, QMessageBox::NoButton,
                            main_window);
            box.setObjectName("FirstStoreNote");
            QPushButton* ok = box.addButton(QCoreApplication::translate("tazu::FirstStart", "ОК"),
                                            QMessageBox::AcceptRole);
            ok->setObjectName("SpeedButton1");
            box.setDefaultButton(ok);
            box.show();  // sized by its text only once shown
            CentreOver(&box, main_window);
            ok->setFocus(Qt::TabFocusReason);
            box.exec();
        }
        if (then) {
            then();
        }
    });
}

}  // namespace tazu
