// The writer and its folder walk against the reader: a tree described by
// the input (folders, names of any bytes, contents) is made in a scratch
// folder, encrypted by the real writer and extracted by the real reader.
//
// What must hold: the writer either fails without leaving an archive or a
// temporary file, or writes an archive that extracts with no report line;
// every extracted file has the bytes of the source file at the same place;
// and every source file that did not come back is named in a report line
// of the writer (a name it refused or a file it could not read).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

using namespace tazu;
using namespace tazu::fuzz;

// A file or folder name from the input: any bytes but "/" and NUL, which
// no name on this system can hold, and never "." or "..".
std::string NameFrom(FuzzReader& in) {
    std::string name = in.Bytes(24);
    for (char& c : name) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    if (name.empty() || name == "." || name == "..") {
        name = "n" + name;
    }
    return name;
}

// Makes the described tree under root; the files made, in order.
std::vector<fs::path> MakeTree(FuzzReader& in, const fs::path& root) {
    std::vector<fs::path> files;
    fs::path folder = root;
    for (int step = 0; step < 24 && !in.empty(); ++step) {
        const std::uint8_t op = in.Byte();
        const fs::path path = folder / NameFrom(in);
        if (op % 4 == 3) {
            folder = folder == root ? root : folder.parent_path();
        } else if (fs::exists(fs::symlink_status(path))) {
            continue;
        } else if (op % 4 == 2) {
            fs::create_directory(path);
            folder = path;
        } else {
            std::string content = in.Bytes(200);
            const std::size_t copies = (op & 0xF0) == 0xF0 ? 1500 : 1;
            std::string bytes;
            for (std::size_t i = 0; i < copies; ++i) {
                bytes += content;
            }
            WriteWhole(path, bytes);
            files.push_back(path);
        }
    }
    return files;
}

// Whether a report line names the file: its path as it is, or, where the
// path holds bytes a report may show escaped, any line at all.
bool Reported(const std::vector<std::string>& report, const fs::path& path) {
    const std::string text = path.string();
    const bool plain =
        std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    for (const std::string& line : report) {
        if (!plain || line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const RoundTripKeys keys(in);
    const bool single = (in.Byte() & 7) == 0;
    const fs::path top = FreshFolder("tree");
    const fs::path root = top / NameFrom(in);
    fs::create_directory(root);
    const std::vector<fs::path> files = MakeTree(in, root);
    const fs::path archive = Scratch() / "tree.shf";
    fs::remove(archive);
    const fs::path source = single && !files.empty() ? files.front() : root;
    const EncryptOutcome written = EncryptWith(
        keys, archive, source, single ? EncryptMode::kSingleFile : EncryptMode::kFolder, size);
    for (const auto& e : fs::directory_iterator(Scratch())) {
        if (e.path().filename() == "tree.shf" && !written.ok) {
            std::abort();  // a failed run left an archive
        }
        if (e.path().extension() != ".shf" && !e.is_directory() && e.path().filename() != "stdin") {
            std::abort();  // a temporary file was left beside the archive
        }
    }
    if (!written.ok) {
        return 0;
    }

    const fs::path out = FreshFolder("tree-out");
    RecordingDecryptHost host;
    DecryptRunState state;
    if (DecryptWith(keys, archive, out, host, state) != DecryptCode::kEndOfData ||
        !host.report.empty()) {
        std::abort();  // what the writer wrote must read back clean
    }
    const fs::path base = single ? source.parent_path() : top;
    for (const fs::path& p : TreeOf(out)) {
        if (fs::is_regular_file(out / p) && ReadWhole(out / p) != ReadWhole(base / p)) {
            std::abort();  // a file that is not the source's, or not its bytes
        }
    }
    for (const fs::path& f : single ? std::vector<fs::path>{source} : files) {
        if (ReadWhole(out / fs::relative(f, base)) != ReadWhole(f) &&
            !Reported(written.report, f)) {
            std::abort();  // a file left out without a word
        }
    }
    return 0;
}
