#include "ui/program.h"

#include "ui/unit1.h"
#include "ui/unit12.h"
#include "ui/unit13.h"
#include "ui/unit15.h"
#include "ui/unit2.h"
#include "ui/unit5.h"

namespace tazu {

Program::Program(Session& session) : session_(session) {
    form1_ = std::make_unique<TForm1>(session_, windows_);
    windows_.form1 = form1_.get();
    form2_ = std::make_unique<TForm2>(session_, windows_);
    windows_.form2 = form2_.get();
    // TForm3, TForm4 (encryption), TForm6 to TForm11 (decryption and the
    // choice windows) take their places here as they arrive.
    form5_ = std::make_unique<TForm5>(form1_.get());
    windows_.form5 = form5_.get();
    form12_ = std::make_unique<TForm12>(session_, windows_, form1_.get());
    windows_.form12 = form12_.get();
    form13_ = std::make_unique<TForm13>(form1_.get(), form1_.get());
    windows_.form13 = form13_.get();
    form15_ = std::make_unique<TForm15>(form1_.get());
    windows_.form15 = form15_.get();
}

Program::~Program() = default;

void Program::Show() {
    form1_->show();
    if (form2_->isVisible()) {
        form2_->activateWindow();
    }
}

}  // namespace tazu
