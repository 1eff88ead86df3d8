// Helpers for the tests that drive the encrypt and decrypt dialogs: answering
// a named modal window from inside its event loop, reading the notification
// that an action raises, and making archives for the dialogs to open.
#pragma once

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <string>

#include "cipher/random.h"
#include "encrypt/encrypt_object.h"
#include "keystore/key_store.h"
#include "tests/support/quiet_encrypt_host.h"
#include "ui/run_dialog.h"
#include "ui/widgets.h"
#include "ui_test_support.h"

namespace tazu::test {

// Closes every modal window, innermost first, so that a test whose expected
// window never came unwinds instead of hanging.
inline void CloseAllModals() {
    for (int i = 0; i < 16 && QApplication::activeModalWidget() != nullptr; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else {
            modal->hide();
        }
    }
}

// Runs answer on the modal window named name once it is the active modal
// window and ready() holds. The answer must close the window or act so that
// it closes; checks go after the call that opened it. After ten seconds
// without the window the test fails and every modal window is closed.
inline void AnswerModalBy(qint64 deadline, const QString& name,
                          std::function<void(QWidget*)> answer, std::function<bool()> ready) {
    QTimer::singleShot(2, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->objectName() == name && (!ready || ready())) {
            answer(modal);
        } else if (QDateTime::currentMSecsSinceEpoch() > deadline) {
            QTest::qFail(qPrintable("the window " + name + " never opened"), __FILE__, __LINE__);
            CloseAllModals();
        } else {
            AnswerModalBy(deadline, name, answer, ready);
        }
    });
}

inline void AnswerModal(const QString& name, std::function<void(QWidget*)> answer,
                        std::function<bool()> ready = {}) {
    AnswerModalBy(QDateTime::currentMSecsSinceEpoch() + 10000, name, std::move(answer),
                  std::move(ready));
}

// Arranges for the next notification to be read and closed; the text lands
// in *text.
inline void ExpectMessage(QString* text) {
    AnswerModal("TForm5", [text](QWidget* w) {
        *text = w->findChild<QLabel*>("StaticText1")->text();
        Click(w, "SpeedButton1");
    });
}

// Arranges for the report window to be read and closed.
inline void ExpectReport(QString* text) {
    AnswerModal("TForm13", [text](QWidget* w) {
        *text = w->findChild<QPlainTextEdit*>("Memo1")->toPlainText();
        Click(w, "SpeedButton1");
    });
}

// Keeps a run inside its progress update, from the first one after its
// progress window counted bytes, until Release: the test then acts on a run
// that is still going, however fast the build is.
class RunHold {
  public:
    explicit RunHold(const ProgressWindow* progress) {
        EventPump::SetTestHold(
            [this, progress] { return !released_ && progress->StaticText5->text() != "0"; });
    }
    ~RunHold() { EventPump::SetTestHold({}); }
    RunHold(const RunHold&) = delete;
    RunHold& operator=(const RunHold&) = delete;
    void Release() { released_ = true; }

  private:
    bool released_ = false;
};

// Encrypts source into archive with password, with the store's personal
// code when personal is set.
inline bool MakeArchive(const KeyStore& store, const fs::path& source, const fs::path& archive,
                        const std::string& password, bool personal = false) {
    SeededRandom random(99);
    EncryptRunState state;
    QuietEncryptHost host;
    Str255 code = store.GetKeyStoreValue(2);
    Str255 mark = store.GetKeyStoreValue(3);
    EncryptCode result = EncryptCode::kOk;
    std::error_code ec;
    const EncryptMode mode =
        fs::is_directory(source, ec) ? EncryptMode::kFolder : EncryptMode::kSingleFile;
    return EncryptObject(Str255(password), code, mark, archive, source, personal, mode, result,
                         EncryptContext{state, host, random});
}

}  // namespace tazu::test
