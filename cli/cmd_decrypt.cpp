// tazu16x32-cli decrypt / verify / list: extract an archive (or the entries
// named), read it through without writing anything and say what the
// extraction would report, or list its entries.
#include <iostream>
#include <system_error>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/decrypt_hosts.h"
#include "cli/descriptor_reader.h"
#include "cli/exit_status.h"
#include "cli/help.h"
#include "cli/keystore_access.h"
#include "cli/output_path.h"
#include "decrypt/decrypt_object.h"
#include "io/native.h"

namespace tazu::cli {

namespace {

namespace fs = std::filesystem;

enum class Mode { kExtract, kVerify, kList };

const char* CommandName(Mode mode) {
    return mode == Mode::kExtract ? "decrypt" : mode == Mode::kVerify ? "verify" : "list";
}

struct Request {
    Mode mode = Mode::kExtract;
    fs::path archive;  // "-": standard input
    bool from_stdin = false;
    bool to_stdout = false;
    std::vector<std::string> names;
    fs::path dest;
    std::string on_exists;
    bool recover = false;  // pass over damaged stretches to the next entry that opens
    PasswordSource password;
    bool cp1251_names = false;  // --names cp1251
};

int ParseRequest(const Args& args, Request& r) {
    const char* command = CommandName(r.mode);
    if (!args.ok()) {
        return UsageError(command, args.error());
    }
    const auto& pos = args.positional();
    if (pos.empty() || (r.mode != Mode::kExtract && pos.size() != 1)) {
        return UsageError(command, std::string(command) + " takes one ARCHIVE");
    }
    r.archive = PathFromText(pos[0]);
    r.from_stdin = r.archive == "-";
    r.names.assign(pos.begin() + 1, pos.end());
    r.to_stdout = args.Has("--stdout");
    r.recover = args.Has("--recover");
    std::string error;
    if (!PasswordSourceFrom(args, r.password, error)) {
        return UsageError(command, error);
    }
    if (r.from_stdin && r.password.kind == PasswordSource::Kind::kStdin) {
        return UsageError(command,
                          "standard input carries the archive: give the password with "
                          "--password-file F or on the terminal");
    }
    if (r.to_stdout && args.Has("-d")) {
        return UsageError(command, "give either -d DEST or --stdout");
    }
    const std::string names = args.Value("--names").value_or("bytes");
    if (names != "bytes" && names != "cp1251") {
        return UsageError(command, "--names takes bytes or cp1251");
    }
    r.cp1251_names = names == "cp1251";
    r.on_exists = args.Value("--on-exists").value_or(StdinIsTerminal() ? "ask" : "skip");
    if (r.on_exists != "ask" && r.on_exists != "replace" && r.on_exists != "skip" &&
        r.on_exists != "cancel") {
        return UsageError(command, "--on-exists takes ask, replace, skip or cancel");
    }
    if (r.on_exists == "ask" &&
        (!StdinIsTerminal() || r.from_stdin || r.password.kind == PasswordSource::Kind::kStdin)) {
        r.on_exists = "skip";  // nothing is overwritten unasked
    }
    const fs::path folder = r.from_stdin ? fs::path(".") : r.archive.parent_path();
    r.dest = args.Value("-d") ? fs::path(PathFromText(*args.Value("-d"))) : folder;
    if (r.dest.empty()) {
        r.dest = ".";
    }
    return kExitOk;
}

// The message that ends the run, where it goes, and the line about its
// file or cause after it.
void PrintOutcome(const Request& r, DecryptCode code, KeyStoreUse use, const Args& args,
                  std::uint32_t recovered) {
    const std::string message(DecryptCodeMessage(code));
    const std::string archive = r.from_stdin ? "standard input" : PathString(r.archive);
    if (recovered > 0 && RecoveredRun(code, recovered)) {
        PrintError(message);
        PrintError(RecoveredLine(archive, recovered));
        return;
    }
    if (code == DecryptCode::kEndOfData) {
        (r.to_stdout || r.mode == Mode::kList ? std::cerr : std::cout) << message << '\n';
        return;
    }
    PrintError(message);
    switch (code) {
        case DecryptCode::kReadError:
            PrintError(archive + " ends too early: a record of it is cut short");
            break;
        case DecryptCode::kWriteError:
            PrintError(r.to_stdout ? std::string("cannot write to standard output")
                                   : FolderWriteFailureCause(r.dest));
            break;
        case DecryptCode::kOtherKeyStore:
            PrintError(OtherKeyStoreHint(use, args));
            break;
        case DecryptCode::kWrongPassword:
            PrintError("the password does not open " + archive);
            break;
        case DecryptCode::kDamaged:
        case DecryptCode::kBadVersion:
            PrintError("in " + archive);
            break;
        default:
            break;
    }
}

int TooMany() {
    PrintError(
        "the archive holds more than one file for --stdout: name the one to write "
        "(tazu16x32-cli list shows them)");
    return kExitUsage;
}

// Whether more than one entry would go to standard output: a first pass
// over the headers, passing over the data without deciphering them. A run
// that fails here fails the same way in the real pass, which reports it.
bool PicksSeveral(const Request& r, const KeyStoreValues& store, const Str255& password,
                  FileReader& file) {
    CountingHost counter{EntrySelection(r.names)};
    DecryptRunState state;
    DecryptCode code = DecryptCode::kOk;
    DecryptArchive(password, store.personal_code, store.key_mark, file, IdentityOf(file.fd()),
                   r.dest, counter, state, code, /*write_files=*/false, r.recover);
    file.Seek(0);
    return counter.count() > 1;
}

// What follows a run: the listing, the personal-code indicator, the run's
// message with its cause, the names that matched nothing, and the status.
int Conclude(const Request& r, DecryptCode code, const ExtractHost& extract, const ListHost& list,
             const EntrySelection& selection, KeyStoreUse use, const Args& args,
             std::uint32_t recovered) {
    if (extract.too_many()) {
        return TooMany();  // only from standard input, which cannot be read twice
    }
    int problems = extract.problems();
    for (const ListHost::Row& row : list.rows()) {
        std::cout << ListLine(row) << '\n';
        problems += row.intact ? 0 : 1;
    }
    if (!extract.indicator().empty()) {
        std::cerr << "Персональный код: " << extract.indicator() << '\n';
    }
    PrintOutcome(r, code, use, args, recovered);
    for (const std::string& name : selection.Unmatched()) {
        PrintError("not in the archive: " + name);
        ++problems;
    }
    return DecryptExitStatus(code, problems, recovered);
}

// The run over the open archive.
int ReadArchive(const Request& r, const Args& args, KeyStoreUse use, const KeyStoreValues& store,
                const Str255& password, InputStream& source,
                const std::optional<FileIdentity>& identity) {
    std::error_code ec;
    if (r.mode == Mode::kExtract && !r.to_stdout) {
        fs::create_directories(r.dest, ec);
    }
    InstallInterruptHandler();
    DecryptRunState state;
    state.cp1251_names = r.cp1251_names;
    EntrySelection selection(r.names);
    FileWriter out;
    if (r.to_stdout) {
        out.Adopt(DuplicateDescriptor(1));
    }
    const std::uint64_t total = r.from_stdin ? 0 : fs::file_size(r.archive, ec);
    ExtractHost extract(state, r.on_exists, selection, r.to_stdout ? &out : nullptr,
                        r.to_stdout ? std::cerr : std::cout, ec ? 0 : total);
    ListHost list(state);
    DecryptHost& host = r.mode == Mode::kList ? static_cast<DecryptHost&>(list) : extract;
    DecryptCode code = DecryptCode::kOk;
    DecryptArchive(password, store.personal_code, store.key_mark, source, identity, r.dest, host,
                   state, code, r.mode == Mode::kExtract, r.recover);
    extract.Finish();
    if (r.to_stdout && !out.Close() && code == DecryptCode::kEndOfData) {
        code = DecryptCode::kWriteError;
    }
    // An abort between two entries leaves code 0; it is still an abort.
    if (code == DecryptCode::kOk && state.DecryptCancelled) {
        code = DecryptCode::kAborted;
    }
    return Conclude(r, code, extract, list, selection, use, args, state.recovered);
}

int Run(const std::vector<std::string>& argv, Mode mode) {
    const Args args(argv,
                    {"-d", "--on-exists", "--names", "--password-file", "--password-file-raw",
                     "--keystore", "--keystore-password-file", "--keystore-password-file-raw"},
                    mode == Mode::kExtract
                        ? std::vector<std::string>{"--password-stdin", "--stdout", "--recover"}
                    : mode == Mode::kVerify
                        ? std::vector<std::string>{"--password-stdin", "--recover"}
                        : std::vector<std::string>{"--password-stdin"});
    Request r;
    r.mode = mode;
    if (const int status = ParseRequest(args, r); status != kExitOk) {
        return status;
    }
    KeyStoreValues store;
    WipeOnExit wipe_code(store.personal_code);
    WipeOnExit wipe_mark(store.key_mark);
    std::string error;
    const KeyStoreUse use = LoadKeyStoreIfPresent(args, store, error);
    if (use == KeyStoreUse::kFailed) {
        PrintErrorLines(error);
        return kExitKeyStore;
    }
    FileReader file(kStreamBufferSize);
    DescriptorReader in(BinaryInput(0));
    if (!r.from_stdin && !file.Open(r.archive)) {
        PrintError(std::string(DecryptCodeMessage(DecryptCode::kReadError)));
        PrintError(ReadFailureCause(r.archive));
        return kExitReadFailed;
    }
    Str255 password;
    WipeOnExit wipe_password(password);
    if (!ReadPassword(r.password, "Password: ", false, password, error)) {
        PrintError(error);
        return kExitUsage;
    }
    if (r.from_stdin) {
        return ReadArchive(r, args, use, store, password, in, std::nullopt);
    }
    if (r.to_stdout && PicksSeveral(r, store, password, file)) {
        return TooMany();
    }
    return ReadArchive(r, args, use, store, password, file, IdentityOf(file.fd()));
}

}  // namespace

int RunDecrypt(const std::vector<std::string>& args) {
    return Run(args, Mode::kExtract);
}

int RunVerify(const std::vector<std::string>& args) {
    return Run(args, Mode::kVerify);
}

int RunList(const std::vector<std::string>& args) {
    return Run(args, Mode::kList);
}

}  // namespace tazu::cli
