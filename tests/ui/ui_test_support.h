// Helpers for the window tests: key stores in temporary folders, a random
// source whose draws the test chooses, one run of the program's windows
// whose ending is recorded instead of performed, and answering modal
// windows from inside their event loop.
#pragma once

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cipher/random.h"
#include "keystore/keystore_file.h"
#include "ui/program.h"
#include "ui/session.h"
#include "ui_logic_support.h"

namespace tazu::test {

namespace fs = std::filesystem;

// A temporary program folder holding a key store, optionally the stub, and
// one run of the windows on it.
class ProgramFolder {
  public:
    ProgramFolder() : folder_(dir_.path().toStdString()) {}

    fs::path folder() const { return folder_; }
    fs::path store() const { return folder_ / "Tazu16x32.key"; }

    void MakeStore(const std::string& password, std::uint8_t settings) {
        SeededRandom random(42);
        CreateKeyStoreFile(store(), Str255(password), settings, random);
    }
    void MakeStub() { std::ofstream(folder_ / "Tazu16x32.SFX") << "stub"; }

    // Starts a run: the windows are created in order (which loads the store).
    Program& Start(Random& random) {
        program_.reset();
        session_ = std::make_unique<Session>(random, store(), folder_, folder_ / "tazu16x32");
        terminated = 0;
        session_->terminate = [this] { ++terminated; };
        program_ = std::make_unique<Program>(*session_);
        program_->Show();
        return *program_;
    }
    Program& Start() { return Start(seeded_); }
    Session& session() { return *session_; }
    Windows& windows() { return program_->windows(); }

    int terminated = 0;

  private:
    QTemporaryDir dir_;
    fs::path folder_;
    SeededRandom seeded_{7};
    std::unique_ptr<Session> session_;
    std::unique_ptr<Program> program_;
};

// Runs answer on the modal window that opens next, from inside its event
// loop. The answer must close the window (also when it finds something
// wrong, so that a failing test never hangs); checks go after the call that
// opened it.
inline void AnswerNextModal(std::function<void(QWidget*)> answer, int tries = 1000) {
    QTimer::singleShot(0, [answer = std::move(answer), tries]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr && tries > 0) {
            AnswerNextModal(std::move(answer), tries - 1);  // not open yet
            return;
        }
        if (modal == nullptr) {
            QTest::qFail("the expected modal window never opened", __FILE__, __LINE__);
            return;
        }
        answer(modal);
    });
}

// Clicks the named button of the window, if it is there.
inline void Click(QWidget* window, const char* button) {
    if (window != nullptr) {
        if (auto* b = window->findChild<QPushButton*>(button)) {
            b->click();
        }
    }
}

// Saves a picture of the window under the test output folder.
inline void SavePicture(QWidget* window, const QString& name) {
    QDir().mkpath(TAZU_TEST_OUTPUT_DIR);
    window->grab().save(QString(TAZU_TEST_OUTPUT_DIR) + "/" + name + ".png");
}

}  // namespace tazu::test
