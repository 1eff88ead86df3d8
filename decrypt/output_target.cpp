// Checking and splitting stored names, and the end of an output file: the
// same on every system.
#include "decrypt/output_target.h"
#include "io/native.h"
#include "io/stored_name.h"

namespace tazu {

bool SplitStoredName(const Str255& name, std::vector<std::string>& components) {
    return CheckStoredName(name.view(), &components) == StoredNameProblem::kNone;
}

OutputFolders::~OutputFolders() {
    if (fd_ >= 0) {
        CloseFile(fd_);
    }
}

OutputStream& OutputTarget::Stream() {
    return file_->file();
}

bool OutputTarget::Commit() {
    if (!file_) {
        return false;
    }
    if (!file_->Finish() || !file_->Commit()) {
        Discard();
        return false;
    }
    file_.reset();
    return true;
}

void OutputTarget::Discard() {
    file_.reset();
}

}  // namespace tazu
