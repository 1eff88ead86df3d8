#include "cli/remove_source.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/output_path.h"
#include "decrypt/decrypt_object.h"
#include "io/file_identity.h"
#include "io/native.h"

namespace tazu::cli {
namespace {

namespace fs = std::filesystem;

// The test hook, run between writing and the check: "archive" changes a
// byte of the archive, as a failing disk would; "append:PATH" adds a byte to
// the file PATH, as a writer that changed it after it was read would.
constexpr const char* kTestHook = "T16X32_TEST_BEFORE_CHECK";

// The parts of a stored name, "\" and "/" alike, empty ones dropped.
std::vector<std::string> Parts(const std::string& stored) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : stored + "/") {
        if (c == '/' || c == '\\') {
            if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += c;
        }
    }
    return parts;
}

// Compares each entry's data with its source file as the engine hands them
// over; nothing is written anywhere.
class CompareHost final : public DecryptHost, public OutputStream {
  public:
    CompareHost(const RemovalRequest& r, DecryptRunState& state) : r_(r), state_(state) {}

    void AddBytesProcessed(std::int64_t) override {}
    void AddEntryHandled() override {}
    void ProcessEvents() override {
        if (Interrupted()) {
            state_.DecryptCancelled = true;
        }
    }
    void AppendReport(const std::string& line) override {
        Doubt(TrFill("проверка сообщает: {}", {line}));
    }
    ExistingFileChoice AskExistingFile(const std::string&) override {
        return ExistingFileChoice::Cancel;
    }
    void NotePersonalCodeUse(bool) override {}
    bool WantsEntry(const std::string& stored_name) override;
    OutputStream* EntryStream() override { return this; }

    bool Write(const std::uint8_t* data, std::size_t count) override;
    bool Flush() override { return true; }

    // Ends the last entry's comparison; the files that matched.
    const std::set<fs::path>& Finish();
    const std::string& doubt() const { return doubt_; }

  private:
    void Doubt(const std::string& why) {
        if (doubt_.empty()) {
            doubt_ = why;
        }
    }
    void EndEntry();

    const RemovalRequest& r_;
    DecryptRunState& state_;
    FileReader file_;
    fs::path current_;
    bool differs_ = false;
    std::set<fs::path> matched_;
    std::string doubt_;
};

bool CompareHost::WantsEntry(const std::string& stored_name) {
    EndEntry();
    std::vector<std::string> parts = Parts(stored_name);
    const std::string top = PathString(r_.source.filename());
    if (parts.empty() || parts.front() != top || (!r_.folder && parts.size() != 1)) {
        Doubt(TrFill("в архиве есть {}, которого нет в источнике", {stored_name}));
        return true;
    }
    fs::path path = r_.source;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        path /= PathFromText(parts[i]);
    }
    if (matched_.count(path) > 0 || !file_.Open(path)) {
        Doubt(TrFill("не удалось сравнить {} с архивом", {PathString(path)}));
        return true;
    }
    current_ = path;
    differs_ = false;
    return true;
}

bool CompareHost::Write(const std::uint8_t* data, std::size_t count) {
    std::uint8_t buffer[16384];
    while (count > 0 && !differs_) {
        const std::size_t n = std::min(count, sizeof buffer);
        differs_ =
            current_.empty() || file_.Read(buffer, n) != n || std::memcmp(buffer, data, n) != 0;
        data += n;
        count -= n;
    }
    return true;
}

void CompareHost::EndEntry() {
    if (current_.empty()) {
        return;
    }
    std::uint8_t extra = 0;
    if (differs_ || file_.Read(&extra, 1) != 0) {
        Doubt(TrFill("{} отличается от того, что хранит архив", {PathString(current_)}));
    } else {
        matched_.insert(current_);
    }
    file_.Close();
    current_.clear();
}

const std::set<fs::path>& CompareHost::Finish() {
    EndEntry();
    return matched_;
}

void RunTestHook(const fs::path& archive) {
    const char* hook = std::getenv(kTestHook);
    if (hook == nullptr) {
        return;
    }
    const std::string what = hook;
    if (what.rfind("append:", 0) == 0) {
        std::ofstream(what.substr(7), std::ios::app | std::ios::binary) << 'x';
        return;
    }
    std::fstream f(archive, std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(0, std::ios::end);
    const auto middle = f.tellg() / 2;
    char c = 0;
    f.seekg(middle);
    f.get(c);
    f.seekp(middle);
    f.put(static_cast<char>(c ^ 0x20));
}

// Every regular file of the source, or the one file.
std::set<fs::path> SourceFiles(const RemovalRequest& r, bool& other_kinds) {
    std::set<fs::path> files;
    other_kinds = false;
    if (!r.folder) {
        files.insert(r.source);
        return files;
    }
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(r.source, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::file_status st = it->symlink_status(ec);
        if (fs::is_regular_file(st)) {
            files.insert(it->path());
        } else if (!fs::is_directory(st)) {
            other_kinds = true;
        }
    }
    if (ec) {
        other_kinds = true;
    }
    return files;
}

// Whether every folder between the source and the file is a real folder (no
// link that would lead a removal out of the source).
bool InsideSource(const fs::path& source, const fs::path& file) {
    std::error_code ec;
    for (fs::path p = file.parent_path(); file != source && p != source; p = p.parent_path()) {
        if (!p.has_relative_path() || fs::is_symlink(fs::symlink_status(p, ec)) ||
            !fs::is_directory(fs::symlink_status(p, ec))) {
            return false;
        }
    }
    return fs::is_regular_file(fs::symlink_status(file, ec));
}

int Keep(const std::string& why, int status) {
    PrintError(why);
    PrintError(std::string(Tr("источники остаются")));
    return status;
}

}  // namespace

int RemoveStoredSources(const RemovalRequest& r) {
    RunTestHook(r.archive);
    DecryptRunState state;
    CompareHost host(r, state);
    FileReader archive(kStreamBufferSize);
    if (!archive.Open(r.archive)) {
        return Keep(TrFill("не удалось прочитать заново {}", {PathString(r.archive)}),
                    kExitReadFailed);
    }
    DecryptCode code = DecryptCode::kOk;
    DecryptArchive(r.password, r.personal_code, r.key_mark, archive, IdentityOf(archive.Fd()),
                   r.source.parent_path(), host, state, code, /*write_files=*/true,
                   /*recover=*/false);
    const std::set<fs::path>& matched = host.Finish();
    if (code != DecryptCode::kEndOfData) {
        return Keep(TrFill("{} (при повторном чтении {})",
                           {DecryptCodeMessage(code), PathString(r.archive)}),
                    DecryptExitStatus(code, 0));
    }
    if (!host.doubt().empty()) {
        return Keep(host.doubt(), kExitDamaged);
    }
    bool other_kinds = false;
    if (SourceFiles(r, other_kinds) != matched) {
        return Keep(TrFill("в архиве есть не все файлы {}", {PathString(r.source)}),
                    kExitIncomplete);
    }
    for (const fs::path& file : matched) {
        if (!InsideSource(r.source, file)) {
            return Keep(TrFill("{} достижим через ссылку", {PathString(file)}), kExitIncomplete);
        }
    }
    // The files, then each folder they leave empty, deepest first.
    std::set<fs::path, std::greater<>> folders;
    std::error_code ec;
    for (const fs::path& file : matched) {
        if (!fs::remove(file, ec)) {
            PrintError(
                TrFill("не удалось удалить {}: {} (файлы до него удалены, остальные "
                       "остаются)",
                       {PathString(file), ErrorCodeText(ec)}));
            return kExitWriteFailed;
        }
        for (fs::path p = file.parent_path(); r.folder && p.has_relative_path();
             p = p.parent_path()) {
            folders.insert(p);
            if (p == r.source) {
                break;
            }
        }
    }
    for (const fs::path& folder : folders) {
        fs::remove(folder, ec);  // only when empty
    }
    return other_kinds ? kExitIncomplete : kExitOk;
}

}  // namespace tazu::cli
