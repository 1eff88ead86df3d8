// tazu16x32: the windowed program. Creates the windows in their order and
// runs the event loop until the run is ended.
#include <QApplication>
#include <QFile>
#include <filesystem>

#include "app/first_start.h"
#include "cipher/random.h"
#include "keystore/keystore_location.h"
#include "program/process.h"
#include "ui/program.h"
#include "ui/session.h"
#include "ui/unit1.h"

int main(int argc, char** argv) {
    tazu::KeepSecretsOutOfCoreDumps();
    if (!tazu::DisplayKnown(argc, argv)) {
        return 1;
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);  // the windows end the run themselves

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
    tazu::ShowFirstStoreNote(program.windows().form1, first_store_note);
    return QApplication::exec();
}
