// The answers to "Файл уже существует" other than replace: an archive of a
// few files is extracted over a destination where the input put, in place
// of each, nothing, an older file, a link to a file outside, a folder, or
// the archive itself; the stub's terminal host then asks, and the answers
// (r, s, c, R, S, anything else, or the end of the input) are read from
// standard input, which holds the rest of the input.
//
// What must hold: the questions get the answers the lines say (R and S
// answering all later ones), a replaced file holds the new bytes, a
// skipped one its old bytes, a cancel ends the run with "aborted" and
// touches nothing after it, a folder and the archive are never asked about
// nor written, a link's target is never written, and no temporary file is
// left behind.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "stub/terminal_host.h"

namespace {

using namespace tazu;
using namespace tazu::fuzz;

enum class Before : std::uint8_t { kNothing, kOldFile, kLink, kFolder, kArchive };

// The stub's host, with the answers it gave kept in order.
class AnswerRecorder final : public DecryptHost {
  public:
    explicit AnswerRecorder(DecryptRunState& state) : host_(state, /*interactive=*/true) {}
    void AddBytesProcessed(std::int64_t n) override { host_.AddBytesProcessed(n); }
    void AddEntryHandled() override { host_.AddEntryHandled(); }
    void ProcessEvents() override { host_.ProcessEvents(); }
    void AppendReport(const std::string& line) override { host_.AppendReport(line); }
    ExistingFileChoice AskExistingFile(const std::string& path) override {
        answers.push_back(host_.AskExistingFile(path));
        return answers.back();
    }
    void NotePersonalCodeUse(bool used) override { host_.NotePersonalCodeUse(used); }
    std::vector<ExistingFileChoice> answers;

  private:
    TerminalDecryptHost host_;
};

// The answers the lines of input give to count questions, read as the
// question reads them: r, s or c (R and S for all later questions), other
// lines asked again, the end of the input a cancel.
std::vector<ExistingFileChoice> ExpectedAnswers(const std::string& input, std::size_t count) {
    std::vector<ExistingFileChoice> out;
    std::size_t pos = 0;
    bool for_all = false;
    while (out.size() < count) {
        if (for_all) {
            out.push_back(out.back());
            continue;
        }
        std::string line;
        if (pos >= input.size()) {
            out.push_back(ExistingFileChoice::Cancel);
            continue;
        }
        const std::size_t end = std::min(input.find('\n', pos), input.size());
        line = input.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line == "r" || line == "R" || line == "s" || line == "S" || line == "c" ||
            line == "C") {
            const char c = static_cast<char>(line[0] | 0x20);
            out.push_back(c == 'r'   ? ExistingFileChoice::Replace
                          : c == 's' ? ExistingFileChoice::Skip
                                     : ExistingFileChoice::Cancel);
            for_all = line == "R" || line == "S";
        }
    }
    return out;
}

struct Slot {
    std::string name;
    std::string bytes;  // what the archive holds
    Before before = Before::kNothing;
    std::string old;  // the older file's bytes, or the archive's
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const RoundTripKeys keys(in);
    std::vector<Slot> slots(1 + in.Byte() % 6);
    const fs::path source = FreshFolder("existing") / "r";
    fs::create_directory(source);
    bool archive_placed = false;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        Slot& s = slots[i];
        s.name = "f" + std::to_string(i);
        s.bytes = in.Bytes(64);
        s.before = static_cast<Before>(in.Byte() % 5);
        if (s.before == Before::kArchive && archive_placed) {
            s.before = Before::kNothing;
        }
        archive_placed |= s.before == Before::kArchive;
        WriteWhole(source / s.name, s.bytes);
    }
    const fs::path archive = Scratch() / "existing.shf";
    if (!EncryptWith(keys, archive, source, EncryptMode::kFolder, size).ok) {
        std::abort();
    }
    const fs::path out = FreshFolder("existing-out") / "r";
    const fs::path outside = Scratch() / "outside";
    WriteWhole(outside, "outside");
    fs::path archive_at = archive;
    fs::create_directory(out);
    for (Slot& s : slots) {
        const fs::path p = out / s.name;
        if (s.before == Before::kOldFile) {
            s.old = "old " + s.name;
            WriteWhole(p, s.old);
        } else if (s.before == Before::kLink) {
            fs::create_symlink(outside, p);
        } else if (s.before == Before::kFolder) {
            fs::create_directory(p);
        } else if (s.before == Before::kArchive) {
            s.old = *ReadWhole(archive);
            fs::rename(archive, p);
            archive_at = p;
        }
    }
    const std::string answers = in.Rest();
    SetStandardInput(answers);

    DecryptRunState state;
    AnswerRecorder host(state);
    const DecryptCode code = DecryptWith(keys, archive_at, out.parent_path(), host, state);
    if (host.answers != ExpectedAnswers(answers, host.answers.size())) {
        std::abort();  // an answer the lines did not give
    }
    std::size_t asked = 0;
    bool cancelled = false;
    for (const Slot& s : slots) {
        const fs::path p = out / s.name;
        const bool link = fs::is_symlink(p);
        const auto now = link ? std::nullopt : ReadWhole(p);
        const bool ask = s.before == Before::kOldFile || s.before == Before::kLink;
        const auto answer = ask && !cancelled && asked < host.answers.size()
                                ? host.answers[asked++]
                                : ExistingFileChoice::Skip;
        const bool replaced = !cancelled && (!ask || answer == ExistingFileChoice::Replace) &&
                              s.before != Before::kFolder && s.before != Before::kArchive;
        cancelled |= ask && answer == ExistingFileChoice::Cancel;
        if (replaced ? (link || now != s.bytes)
                     : (s.before == Before::kLink ? !link
                        : s.before == Before::kFolder
                            ? !fs::is_directory(p)
                            : now != (s.before == Before::kNothing ? std::nullopt
                                                                   : std::optional(s.old)))) {
            std::abort();  // a file that does not hold what the answers say
        }
    }
    if (asked != host.answers.size() || ReadWhole(outside) != "outside" ||
        (code == DecryptCode::kAborted) != cancelled ||
        (!cancelled && code != DecryptCode::kEndOfData) || TreeOf(out).size() > slots.size()) {
        std::abort();  // a question too many, a written link target, a wrong end or a leftover
    }
    return 0;
}
