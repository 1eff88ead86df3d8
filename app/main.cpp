// tazu16x32: the windowed program. Creates the windows in their order and
// runs the event loop until the run is ended.
#include <QApplication>
#include <QFile>
#include <filesystem>

#include "cipher/platform.h"
#include "cipher/random.h"
#include "keystore/keystore_file.h"
#include "ui/program.h"
#include "ui/session.h"

int main(int argc, char** argv) {
    tazu::KeepSecretsOutOfCoreDumps();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);  // the windows end the run themselves

    const std::filesystem::path own_file =
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    tazu::Session session(tazu::ProgramRandom(), tazu::DefaultKeyStorePath(), tazu::ProgramFolder(),
                          own_file);
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
    return QApplication::exec();
}
