#include "ui/program.h"

#include "ui/unit1.h"
#include "ui/unit10.h"
#include "ui/unit11.h"
#include "ui/unit12.h"
#include "ui/unit13.h"
#include "ui/unit15.h"
#include "ui/unit2.h"
#include "ui/unit3.h"
#include "ui/unit4.h"
#include "ui/unit5.h"
#include "ui/unit6.h"
#include "ui/unit7.h"
#include "ui/unit8.h"
#include "ui/unit9.h"
#include "ui/widgets.h"

namespace tazu {

Program::Program(Session& session) : session_(session) {
    form1_ = std::make_unique<TForm1>(session_, windows_);
    windows_.form1 = form1_.get();
    form2_ = std::make_unique<TForm2>(session_, windows_);
    windows_.form2 = form2_.get();
    QWidget* main = form1_.get();
    form3_ = std::make_unique<TForm3>(session_, windows_, main);
    windows_.form3 = form3_.get();
    form4_ = std::make_unique<TForm4>(main);
    windows_.form4 = form4_.get();
    form5_ = std::make_unique<TForm5>(main);
    windows_.form5 = form5_.get();
    form6_ = std::make_unique<TForm6>(main);
    windows_.form6 = form6_.get();
    form7_ = std::make_unique<TForm7>(session_, windows_, main);
    windows_.form7 = form7_.get();
    form8_ = std::make_unique<TForm8>(main);
    windows_.form8 = form8_.get();
    form9_ = std::make_unique<TForm9>(main);
    windows_.form9 = form9_.get();
    form10_ = std::make_unique<TForm10>(main);
    windows_.form10 = form10_.get();
    form11_ = std::make_unique<TForm11>(main);
    windows_.form11 = form11_.get();
    form12_ = std::make_unique<TForm12>(session_, windows_, main);
    windows_.form12 = form12_.get();
    form13_ = std::make_unique<TForm13>(main, main);
    windows_.form13 = form13_.get();
    form15_ = std::make_unique<TForm15>(main);
    windows_.form15 = form15_.get();
    ConnectProgressWindows();
}

Program::~Program() = default;

void Program::ConnectProgressWindows() {
    // "Прервать шифрование" / "Прервать расшифровывание" and the progress
    // windows' close boxes: the dialog is back at once, and the engine
    // stops at its next check of the flag.
    QObject::connect(form4_.get(), &ProgressWindow::AbortRequested, form3_.get(), [this] {
        form3_->AbortRun(form4_.get());
        form3_->state().EncryptCancelled = true;
    });
    QObject::connect(form9_.get(), &ProgressWindow::AbortRequested, form7_.get(), [this] {
        form7_->AbortRun(form9_.get());
        form7_->state().DecryptCancelled = true;
    });
}

void Program::Show() {
    form1_->show();
    if (form2_->isVisible()) {
        // Centred again over the main window as it was finally placed.
        CentreOver(form2_.get(), form1_.get());
        form2_->activateWindow();
    }
}

}  // namespace tazu
