// tazu16x32-cli decrypt / verify / list: extract an archive (or the entries
// named), read archives through without writing anything and say what the
// extraction would report, or list their entries.
#include <algorithm>
#include <iostream>
#include <system_error>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/decrypt_hosts.h"
#include "cli/exit_status.h"
#include "cli/help.h"
#include "cli/json_report.h"
#include "cli/keystore_access.h"
#include "cli/output_path.h"
#include "decrypt/decrypt_object.h"
#include "format/language.h"
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
    std::vector<fs::path> archives;  // "-": standard input
    bool to_stdout = false;
    std::vector<std::string> names;
    fs::path dest;
    bool dest_given = false;
    std::string on_exists;
    bool recover = false;  // pass over damaged stretches to the next entry that opens
    PasswordSource password;
    bool cp1251_names = false;  // --names cp1251
    bool quiet = false;         // errors only
    bool json = false;          // one JSON document on standard output
};

// What one archive's run needs besides the request.
struct Keys {
    const Args& args;
    KeyStoreUse use;
    const KeyStoreValues& store;
    const Str255& password;
};

int ParseRequest(const Args& args, Request& r) {
    const char* command = CommandName(r.mode);
    const auto& pos = args.Positional();
    const std::size_t archives = r.mode == Mode::kExtract ? 1 : pos.size();
    for (std::size_t i = 0; i < archives; ++i) {
        r.archives.push_back(PathFromText(pos[i]));
    }
    r.names.assign(pos.begin() + static_cast<long>(archives), pos.end());
    const long from_stdin = std::count(r.archives.begin(), r.archives.end(), fs::path("-"));
    if (from_stdin > 1) {
        return UsageError(command,
                          std::string(Tr("стандартный ввод (-) читается только один раз")));
    }
    r.to_stdout = args.Has("--stdout");
    r.recover = args.Has("--recover");
    r.quiet = args.Has("--quiet");
    r.json = args.Has("--json");
    std::string error;
    if (!PasswordSourceFrom(args, r.password, error)) {
        return UsageError(command, error);
    }
    if (from_stdin > 0 && r.password.kind == PasswordSource::Kind::kStdin) {
        return UsageError(command, std::string(Tr("стандартный ввод несет архив: укажите пароль "
                                                  "через --password-file F или на терминале")));
    }
    if (r.to_stdout && args.Has("-d")) {
        return UsageError(command, std::string(Tr("укажите либо -d ПАПКА, либо --stdout")));
    }
    const std::string names = args.Value("--names").value_or("bytes");
    if (names != "bytes" && names != "cp1251") {
        return UsageError(command, std::string(Tr("--names принимает bytes или cp1251")));
    }
    r.cp1251_names = names == "cp1251";
    r.on_exists = args.Value("--on-exists").value_or(StdinIsTerminal() ? "ask" : "skip");
    if (r.on_exists != "ask" && r.on_exists != "replace" && r.on_exists != "skip" &&
        r.on_exists != "cancel") {
        return UsageError(command,
                          std::string(Tr("--on-exists принимает ask, replace, skip или cancel")));
    }
    if (r.on_exists == "ask" &&
        (!StdinIsTerminal() || from_stdin > 0 || r.password.kind == PasswordSource::Kind::kStdin)) {
        r.on_exists = "skip";  // nothing is overwritten unasked
    }
    const fs::path& first = r.archives.front();
    const fs::path folder = first == "-" ? fs::path(".") : first.parent_path();
    r.dest_given = args.Value("-d").has_value();
    r.dest = r.dest_given ? fs::path(PathFromText(*args.Value("-d"))) : folder;
    if (r.dest.empty()) {
        r.dest = ".";
    }
    return kExitOk;
}

// A destination that exists but is no folder, or a folder that cannot take
// files, is refused before anything is read: one error instead of a report
// line for every file.
int CheckDestination(const Request& r) {
    if (r.mode != Mode::kExtract || r.to_stdout) {
        return kExitOk;
    }
    // The folder itself, or where it will be made.
    std::error_code ec;
    fs::path folder = r.dest;
    while (!fs::exists(fs::symlink_status(folder, ec)) && folder.has_relative_path() &&
           folder.has_parent_path() && folder.parent_path() != folder) {
        folder = folder.parent_path();
    }
    if (!fs::exists(fs::symlink_status(folder, ec))) {
        folder = ".";
    }
    const fs::file_status st = fs::status(folder, ec);
    if (fs::exists(st) && !fs::is_directory(st)) {
        PrintError(TrFill("не удалось расшифровать в {}: {} - не папка",
                          {PathString(r.dest), PathString(folder)}));
        return kExitWriteFailed;
    }
    if (fs::is_directory(st) && !FolderTakesFiles(folder)) {
        PrintError(FolderWriteFailureCause(folder));
        return kExitWriteFailed;
    }
    return kExitOk;
}

std::string Shown(const fs::path& archive) {
    return archive == "-" ? std::string(Tr("стандартный ввод")) : PathString(archive);
}

// Whether the run read every entry and only the archive's end record was
// damaged or missing: a recovering run passed over nothing, yet the end
// does not check out.
bool OnlyTheEndDamaged(const Request& r, DecryptCode code, std::uint32_t recovered) {
    return r.recover && code == DecryptCode::kDamaged && recovered == 0;
}

// The message that ends the run, where it goes, and the line about its
// file or cause after it.
void PrintOutcome(const Request& r, const fs::path& archive_path, DecryptCode code,
                  const Keys& keys, const DecryptRunState& state) {
    const std::uint32_t recovered = state.recovered;
    const std::string message(DecryptCodeMessage(code));
    const std::string archive = Shown(archive_path);
    if (recovered > 0 && RecoveredRun(code, recovered)) {
        PrintError(message);
        PrintError(RecoveredLine(archive, recovered));
        return;
    }
    if (code == DecryptCode::kEndOfData) {
        if (!r.quiet && !r.json) {
            (r.to_stdout || r.mode == Mode::kList ? std::cerr : std::cout) << message << '\n';
        }
        return;
    }
    PrintError(message);
    switch (code) {
        case DecryptCode::kReadError:
            PrintError(
                TrFill("{} кончается слишком рано: одна из его записей обрезана", {archive}));
            break;
        case DecryptCode::kWriteError:
            PrintError(
                r.to_stdout ? std::string(Tr("не удалось записать на стандартный вывод"))
                : state.failed_write.empty()
                    ? FolderWriteFailureCause(r.dest)
                    : WriteFailureCause(PathFromText(state.failed_write), state.free_at_failure));
            break;
        case DecryptCode::kOtherKeyStore:
            PrintError(OtherKeyStoreHint(keys.use, keys.args));
            break;
        case DecryptCode::kWrongPassword:
            PrintError(TrFill("пароль не открывает {}", {archive}));
            break;
        case DecryptCode::kDamaged:
            PrintError(OnlyTheEndDamaged(r, code, recovered)
                           ? TrFill("все записи {} прочитаны, но его конечная запись повреждена "
                                    "или отсутствует: записи после последней могли потеряться",
                                    {archive})
                           : TrFill("в {}", {archive}));
            break;
        case DecryptCode::kBadVersion:
            PrintError(TrFill("в {}", {archive}));
            break;
        default:
            break;
    }
}

int TooMany() {
    PrintError(
        std::string(Tr("в архиве больше одного файла для --stdout: укажите, какой "
                       "записать (их показывает tazu16x32-cli list)")));
    return kExitUsage;
}

// Whether more than one entry would go to standard output: a first pass
// over the headers, passing over the data without deciphering them. A run
// that fails here fails the same way in the real pass, which reports it.
bool PicksSeveral(const Request& r, const Keys& keys, FileReader& file) {
    CountingHost counter{EntrySelection(r.names)};
    DecryptRunState state;
    DecryptCode code = DecryptCode::kOk;
    DecryptArchive(keys.password, keys.store.personal_code, keys.store.key_mark, file,
                   IdentityOf(file.Fd()), r.dest, counter, state, code, /*write_files=*/false,
                   r.recover);
    file.Seek(0);
    return counter.Count() > 1;
}

// What one archive's run found.
struct Outcome {
    DecryptCode code = DecryptCode::kOk;
    std::uint32_t recovered = 0;
    int status = kExitOk;
};

// What follows a run: the listing, the personal-code indicator, the run's
// message with its cause, the names that matched nothing, and the status.
int Conclude(const Request& r, const fs::path& archive, const Outcome& o,
             const ExtractHost& extract, const ListHost& list, const EntrySelection& selection,
             const Keys& keys, const DecryptRunState& state) {
    if (extract.TooMany()) {
        return TooMany();  // only from standard input, which cannot be read twice
    }
    int problems = r.mode == Mode::kList || r.json ? list.Problems() : extract.Problems();
    if (!extract.Indicator().empty() && !r.quiet) {
        std::cerr << Tr("Персональный код: ") << extract.Indicator() << '\n';
    }
    PrintOutcome(r, archive, o.code, keys, state);
    for (const std::string& name : selection.Unmatched()) {
        PrintError(TrFill("нет в архиве: {}", {name}));
        ++problems;
    }
    if (OnlyTheEndDamaged(r, o.code, o.recovered)) {
        return kExitIncomplete;
    }
    return DecryptExitStatus(o.code, problems, o.recovered);
}

// The run over one open archive.
int ReadArchive(const Request& r, const fs::path& archive, const Keys& keys, InputStream& source,
                const std::optional<FileIdentity>& identity, JsonReport& json) {
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
    const std::uint64_t total = archive == "-" || r.quiet ? 0 : fs::file_size(archive, ec);
    ExtractHost extract(state, r.on_exists, selection, r.to_stdout ? &out : nullptr,
                        r.to_stdout ? std::cerr : std::cout, ec ? 0 : total, !r.quiet);
    // The rows go out as their entries end: the listing's lines, or the
    // JSON document's entries.
    ListHost list(state, [&r, &json](const ListHost::Row& row) {
        if (r.json) {
            json.AddEntry(row);
        } else if (r.mode == Mode::kList) {
            std::cout << ListLine(row) << '\n';
        }
    });
    if (r.json) {
        json.BeginArchive(PathString(archive));
    }
    DecryptHost& host = r.mode == Mode::kList || r.json ? static_cast<DecryptHost&>(list) : extract;
    Outcome o;
    DecryptArchive(keys.password, keys.store.personal_code, keys.store.key_mark, source, identity,
                   r.dest, host, state, o.code, r.mode == Mode::kExtract, r.recover);
    extract.Finish();
    list.Finish();
    if (r.to_stdout && !out.Close() && o.code == DecryptCode::kEndOfData) {
        o.code = DecryptCode::kWriteError;
    }
    // An abort between two entries leaves code 0; it is still an abort.
    if (o.code == DecryptCode::kOk && state.DecryptCancelled) {
        o.code = DecryptCode::kAborted;
    }
    o.recovered = state.recovered;
    o.status = Conclude(r, archive, o, extract, list, selection, keys, state);
    if (r.json) {
        json.EndArchive(list.Stretches(), o.code, o.status,
                        std::string(DecryptCodeMessage(o.code)));
    }
    return o.status;
}

// Opens one archive (or standard input) and reads it.
int RunOne(const Request& r, const fs::path& archive, const Keys& keys, JsonReport& json) {
    if (archive == "-") {
        FileReader in(kStreamBufferSize);
        in.Adopt(DuplicateDescriptor(BinaryInput(0)), Interrupted);
        return ReadArchive(r, archive, keys, in, std::nullopt, json);
    }
    FileReader file(kStreamBufferSize);
    if (!file.Open(archive)) {
        const std::string message(DecryptCodeMessage(DecryptCode::kReadError));
        PrintError(message);
        PrintError(ReadFailureCause(archive));
        if (r.json) {
            json.BeginArchive(PathString(archive));
            json.EndArchive({}, DecryptCode::kReadError, kExitReadFailed, message);
        }
        return kExitReadFailed;
    }
    if (r.to_stdout && PicksSeveral(r, keys, file)) {
        return TooMany();
    }
    return ReadArchive(r, archive, keys, file, IdentityOf(file.Fd()), json);
}

int Run(const Args& args, Mode mode) {
    Request r;
    r.mode = mode;
    if (const int status = ParseRequest(args, r); status != kExitOk) {
        return status;
    }
    if (const int status = CheckDestination(r); status != kExitOk) {
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
    Str255 password;
    WipeOnExit wipe_password(password);
    if (!ReadPassword(r.password, std::string(Tr("Пароль: ")), false, password, error)) {
        PrintError(error);
        return kExitUsage;
    }
    const Keys keys{args, use, store, password};
    JsonReport json(std::cout);
    int worst = kExitOk;
    for (const fs::path& archive : r.archives) {
        const int status = RunOne(r, archive, keys, json);
        worst = std::max(worst, status);
        if (r.archives.size() > 1 && !r.json && (status != kExitOk || !r.quiet)) {
            std::cout << Escaped(Shown(archive)) << ": " << status << " " << ExitStatusText(status)
                      << '\n'
                      << std::flush;
        }
    }
    if (r.json) {
        json.End(worst);
    }
    return worst;
}

}  // namespace

int RunDecrypt(const Args& args) {
    return Run(args, Mode::kExtract);
}

int RunVerify(const Args& args) {
    return Run(args, Mode::kVerify);
}

int RunList(const Args& args) {
    return Run(args, Mode::kList);
}

}  // namespace tazu::cli
