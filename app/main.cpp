// tazu16x32: the windowed program. Reads its command line, creates the
// windows in their order and runs the event loop until the run is ended.
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <filesystem>
#include <iostream>

#include "app/first_start.h"
#include "cipher/random.h"
#include "format/language.h"
#include "keystore/keystore_location.h"
#include "program/process.h"
#include "ui/command_line.h"
#include "ui/language.h"
#include "ui/program.h"
#include "ui/session.h"
#include "ui/unit1.h"

namespace {

// The program's own icon at every size it ships, for the title bar, the
// task bar and the window switcher.
QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1x%1/tazu16x32.png").arg(size), QSize(size, size));
    }
    return icon;
}

// The dialog the command line asked for, over the chosen object.
void OpenRequestedDialog(tazu::TForm1* main_window, tazu::CommandLine::Dialog dialog) {
    if (dialog == tazu::CommandLine::Dialog::kEncrypt) {
        main_window->SpeedButton2Click();
    } else if (dialog == tazu::CommandLine::Dialog::kDecrypt && main_window->ObjectIsFile()) {
        main_window->SpeedButton3Click();
    }
}

}  // namespace

int main(int argc, char** argv) {
    tazu::KeepSecretsOutOfCoreDumps();
    const tazu::CommandLine line = tazu::ParseCommandLine(argc, argv);
    switch (line.action) {
        case tazu::CommandLine::Action::kHelp:
            tazu::SetLanguage(tazu::LanguageFromEnvironment());
            std::cout << tazu::CommandLineHelp();
            return 0;
        case tazu::CommandLine::Action::kVersion:
            std::cout << tazu::VersionText();
            return 0;
        case tazu::CommandLine::Action::kError:
            std::cerr << "tazu16x32: " << line.error << " (see tazu16x32 --help)\n";
            return 2;
        case tazu::CommandLine::Action::kWindow:
            break;
    }
    if (!tazu::DisplayKnown(argc, argv)) {
        return 1;
    }
    tazu::GuardDisplayOpening();
    QApplication app(argc, argv);
    tazu::DisplayOpened();
    QApplication::setApplicationName("tazu16x32");  // the window class: StartupWMClass
    QGuiApplication::setDesktopFileName("org.tazu16x32.tazu16x32");
    QApplication::setWindowIcon(ProgramIcon());
    app.setQuitOnLastWindowClosed(false);  // the windows end the run themselves
    tazu::UseEnvironmentLanguage();

    const std::filesystem::path own_file =
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    // A first start with no store anywhere makes one in the per-user folder.
    const tazu::KeyStoreLocation store = tazu::LocateKeyStore();
    const QString first_store_note = tazu::PrepareFirstKeyStore(store, tazu::ProgramRandom());
    tazu::Session session(tazu::ProgramRandom(), store.path, tazu::ProgramFolder(), own_file);
    bool ended = false;
    session.terminate = [&ended] {
        ended = true;
        QCoreApplication::quit();
    };

    tazu::Program program(session);
    if (ended) {
        return 0;  // ended while the windows were being created
    }
    program.Show();
    tazu::TForm1* main_window = program.windows().form1;
    if (!line.object.empty()) {
        main_window->ChooseObject(line.object);
    }
    // The first-store note comes first; a dialog asked for waits for it and
    // for the key-store prompt.
    tazu::ShowFirstStoreNote(main_window, first_store_note, [main_window, &line] {
        main_window->WhenEnabled(
            [main_window, &line] { OpenRequestedDialog(main_window, line.dialog); });
    });
    return QApplication::exec();
}
