// encrypt: a file or a folder tree into one archive, as the encrypt dialog
// does it, with the key store's personal code and the self-decrypting stub;
// and standard input into an archive, or an archive onto standard output.
#include <iostream>
#include <system_error>

#include "cipher/random.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/help.h"
#include "cli/keystore_access.h"
#include "cli/output_path.h"
#include "cli/remove_source.h"
#include "cli/stream_encrypt.h"
#include "encrypt/archive_name.h"
#include "encrypt/encrypt_messages.h"
#include "encrypt/encrypt_object.h"
#include "encrypt/stub_copy.h"
#include "io/native.h"
#include "io/stored_name.h"
#include "io/temporary_file.h"
#include "program/process.h"

namespace tazu::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultStreamName = "stdin";

// The absolute path without a trailing slash.
fs::path Clean(const fs::path& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec).lexically_normal();
    if (!p.has_filename() && p != p.root_path()) {
        p = p.parent_path();
    }
    return p;
}

// The terminal stands in for the progress window; report lines go to
// standard output as they come (to standard error when standard output
// carries the archive), escaped. A single file counts as one file from the
// start (only a folder's walk counts the files it finished).
class TerminalHost final : public EncryptHost {
  public:
    TerminalHost(EncryptRunState& state, ProgressLine& progress, std::ostream& report,
                 bool single_file)
        : state_(state), progress_(progress), report_(report), files_(single_file ? 1 : 0) {}

    void AddBytesProcessed(std::int64_t count) override {
        bytes_ += static_cast<std::uint64_t>(count);
        progress_.Update(bytes_, files_);
    }
    void AddFileEncrypted() override {
        ++files_;
        progress_.Update(bytes_, files_);
    }
    void ProcessEvents() override {
        if (Interrupted()) {
            state_.EncryptCancelled = true;
        }
    }
    void AppendReport(const std::string& line) override {
        progress_.Finish();
        report_ << Escaped(line) << '\n' << std::flush;
        ++problems_;
    }
    int Problems() const { return problems_; }

  private:
    EncryptRunState& state_;
    ProgressLine& progress_;
    std::ostream& report_;
    std::uint64_t bytes_ = 0;
    std::uint64_t files_;
    int problems_ = 0;
};

struct Request {
    fs::path source;  // "-": standard input
    bool from_stdin = false;
    bool folder = false;
    fs::path archive;  // resolved through links; empty with to_stdout
    bool to_stdout = false;
    bool sfx = false;
    fs::path stub;
    bool personal_code = false;
    std::string stored_name;  // of the one file (not of a folder)
};

// The name the one file is stored under: --name for standard input (a
// leading "./" dropped), else the file's own name. A name the reader would
// refuse ends the command before anything is written.
int StoredNameFor(const Args& args, Request& r) {
    if (r.folder) {
        return kExitOk;
    }
    const std::string name = r.from_stdin ? args.Value("--name").value_or(kDefaultStreamName)
                                          : StoredNameFromPath(Clean(r.source).filename());
    StoredNameProblem problem = StoredNameProblem::kNone;
    r.stored_name = SingleFileStoredName(name, !r.from_stdin, problem);
    if (problem != StoredNameProblem::kNone) {
        return UsageError(
            "encrypt",
            RefusedNameLine(r.from_stdin ? std::string() : PathString(r.source), name, problem));
    }
    return kExitOk;
}

// Checks the arguments and works out source and archive; a status other
// than kExitOk ends the command.
int ParseRequest(const Args& args, Request& r) {
    if (!args.Ok()) {
        return UsageError("encrypt", args.Error());
    }
    if (args.Positional().size() != 1) {
        return UsageError("encrypt", TrFill("{} принимает один {}", {"encrypt", Tr("ИСТОЧНИК")}));
    }
    r.source = PathFromText(args.Positional()[0]);
    r.from_stdin = r.source == "-";
    r.sfx = args.Has("--sfx");
    r.personal_code = args.Has("--personal-code");
    r.stub = PathFromText(args.Value("--stub").value_or(""));
    if (const std::optional<std::string> system = args.Value("--for")) {
        if (*system != "linux" && *system != "windows") {
            return UsageError("encrypt", std::string(Tr("--for принимает linux или windows")));
        }
        if (!r.sfx) {
            return UsageError("encrypt", std::string(Tr("--for выбирает модуль для --sfx")));
        }
        if (r.stub.empty()) {
            r.stub = DefaultStubPath(*system == "windows" ? kWindowsStubFileName : kStubFileName);
        }
    }
    if (r.from_stdin && args.Has("--password-stdin")) {
        return UsageError("encrypt", std::string(Tr("стандартный ввод несет данные: укажите пароль "
                                                    "через --password-file F или на терминале")));
    }
    if (args.Has("--remove-source") && (r.from_stdin || args.Value("-o") == "-")) {
        return UsageError("encrypt", std::string(Tr("для --remove-source нужны ИСТОЧНИК - файл "
                                                    "или папка - и архив в файле")));
    }
    if (args.Has("--name") && !r.from_stdin) {
        return UsageError("encrypt",
                          std::string(Tr("--name - только для encrypt - (стандартного ввода)")));
    }
    std::error_code ec;
    r.folder = !r.from_stdin && fs::is_directory(r.source, ec);
    if (const int status = StoredNameFor(args, r); status != kExitOk) {
        return status;
    }
    const std::optional<std::string> out = args.Value("-o");
    r.to_stdout = out && *out == "-";
    if (r.from_stdin && !out) {
        return UsageError("encrypt", std::string(Tr("для encrypt - нужен -o АРХИВ (или -o - для "
                                                    "стандартного вывода)")));
    }
    if (r.to_stdout) {
        if (StdoutIsTerminal()) {
            return UsageError("encrypt", std::string(Tr("стандартный вывод - терминал: архив "
                                                        "туда не записывается")));
        }
        return kExitOk;
    }
    const fs::path named =
        out ? fs::path(PathFromText(*out)) : ProposedArchivePath(Clean(r.source), !r.folder, r.sfx);
    if (!named.has_filename()) {
        return UsageError("encrypt", TrFill("имя архива - не имя файла: {}", {PathString(named)}));
    }
    std::string error;
    if (!ResolveOutputPath(named, r.archive, error)) {
        return UsageError("encrypt", error);
    }
    if (!r.from_stdin && SameFile(r.source, r.archive)) {
        return UsageError("encrypt", TrFill("архив заменил бы собственный источник: {} "
                                            "(выберите другой -o)",
                                            {PathString(r.archive)}));
    }
    return kExitOk;
}

// The personal code and key mark: from the key store with --personal-code,
// else stand-ins (they are not used, and no store is needed).
int KeysFor(const Args& args, const Request& r, KeyStoreValues& values) {
    if (!r.personal_code) {
        UseKeyStoreStandIns(values);
        return kExitOk;
    }
    std::string error;
    if (!LoadKeyStoreForCommand(args, values, error)) {
        PrintErrorLines(error);
        return kExitKeyStore;
    }
    return kExitOk;
}

void PrintCause(EncryptCode code, const Request& r, const EncryptRunState& state) {
    if (code == EncryptCode::kWriteFailed) {
        PrintError(r.to_stdout ? std::string(Tr("не удалось записать на стандартный вывод"))
                               : WriteFailureCause(r.archive, state.free_at_failure));
    } else if (code == EncryptCode::kSourceUnreadable) {
        PrintError(r.from_stdin ? std::string(Tr("не удалось прочитать стандартный ввод"))
                                : ReadFailureCause(r.source));
    } else if (code == EncryptCode::kStubMissing) {
        PrintError(TrFill("нет модуля саморасшифровки {} (другой указывает --stub ПУТЬ)",
                          {PathString(r.stub.empty() ? DefaultStubPath() : r.stub)}));
    }
}

// Pipes: standard input in, or the archive out to standard output (or both).
bool RunStream(Request& r, StreamJob& job, EncryptCode& code, const EncryptContext& ctx) {
    DescriptorReader in(BinaryInput(0));
    if (r.from_stdin) {
        job.source = &in;
        job.path = "-";
    } else {
        job.path = Clean(r.source);
        job.folder = r.folder;
    }
    if (r.sfx) {
        job.stub = r.stub.empty() ? DefaultStubPath() : r.stub;
    }
    if (r.to_stdout) {
        FileWriter out;
        out.Adopt(DuplicateDescriptor(1));
        // A run cut short still hands on what it wrote: without its trailer
        // the reader calls it damaged, where nothing would read as an empty
        // archive.
        bool ok = EncryptIntoStream(job, out, code, ctx);
        out.Flush();
        ok = out.Close() && ok;
        if (!ok && code == EncryptCode::kOk) {
            code = EncryptCode::kWriteFailed;
        }
        return ok;
    }
    TemporaryFile file;
    if (!file.Create(r.archive, r.sfx ? 0777 : 0666)) {
        code = EncryptCode::kWriteFailed;
        return false;
    }
    file.MakeDurable();  // it may become the only copy of its data
    // Only a regular file is ever replaced: whatever else took the name
    // meanwhile stays as it is.
    if (EncryptIntoStream(job, file.file(), code, ctx) && file.Finish() &&
        file.Commit(TemporaryFile::Replace::kRegularFileOnly)) {
        return true;
    }
    if (code == EncryptCode::kOk || code == EncryptCode::kWriteFailed) {
        code = EncryptCode::kWriteFailed;
        ctx.state.free_at_failure = FreeSpaceAt(r.archive.parent_path());
    }
    return false;
}

// The run itself, its message, the cause of a failure and the status.
int Encrypt(Request& r, const Args& args, const Str255& password, const KeyStoreValues& values) {
    InstallInterruptHandler();
    const bool quiet = args.Has("--quiet");
    ProgressLine progress(r.from_stdin || quiet ? 0 : SourceSize(r.source, r.folder), !quiet);
    EncryptRunState state;
    TerminalHost host(state, progress, r.to_stdout ? std::cerr : std::cout, !r.folder);
    EncryptContext ctx{state, host, ProgramRandom()};
    EncryptCode code = EncryptCode::kOk;
    bool success = false;
    if (r.from_stdin || r.to_stdout) {
        StreamJob job;
        job.password = password;
        job.personal_code = values.personal_code;
        job.key_mark = values.key_mark;
        job.use_personal_code = r.personal_code;
        job.stored_name = r.stored_name;
        success = RunStream(r, job, code, ctx);
        job.password.Wipe();
        job.personal_code.Wipe();
    } else {
        EncryptObjectOptions options;
        options.self_decrypting = r.sfx;
        options.stub_path = r.stub;
        success = EncryptObject(
            password, values.personal_code, values.key_mark, r.archive, r.source, r.personal_code,
            r.folder ? EncryptMode::kFolder : EncryptMode::kSingleFile, code, ctx, options);
    }
    progress.Finish();
    const std::string_view message = EncryptOutcomeText(success, code);
    if (success) {
        if (!quiet) {
            (r.to_stdout ? std::cerr : std::cout) << message << '\n';
        }
        const int status = EncryptExitStatus(true, code, host.Problems());
        if (!args.Has("--remove-source")) {
            return status;
        }
        if (status != kExitOk) {
            PrintError(std::string(
                Tr("в отчете есть файлы, сохраненные не так, как прочитаны: источники остаются")));
            return status;
        }
        return RemoveStoredSources({Clean(r.source), r.folder, r.archive, password,
                                    values.personal_code, values.key_mark});
    }
    PrintError(std::string(message.empty() ? Tr("шифрование не удалось") : message));
    PrintCause(code, r, state);
    return EncryptExitStatus(false, code, host.Problems());
}

}  // namespace

int RunEncrypt(const Args& args) {
    Request r;
    if (const int status = ParseRequest(args, r); status != kExitOk) {
        return status;
    }
    PasswordSource source;
    std::string error;
    if (!PasswordSourceFrom(args, source, error)) {
        return UsageError("encrypt", error);
    }
    KeyStoreValues values;
    WipeOnExit wipe_code(values.personal_code);
    if (const int status = KeysFor(args, r, values); status != kExitOk) {
        return status;
    }
    std::error_code ec;
    if (!r.to_stdout && fs::exists(fs::symlink_status(r.archive, ec)) && !args.Has("--force")) {
        // Asked on a terminal, a no is a cancel answer; without a terminal
        // nothing was asked and the command line lacks --force.
        const bool can_ask = !r.from_stdin && StdinIsTerminal();
        if (!can_ask ||
            !AskYesNo(std::string(Tr("Файл уже существует: ")) + Escaped(PathString(r.archive)) +
                      std::string(Tr(". Заменить файл?")))) {
            PrintError(TrFill("{} уже существует; --force заменит его", {PathString(r.archive)}));
            return can_ask ? kExitInterrupted : kExitUsage;
        }
    }
    Str255 password;
    WipeOnExit wipe_password(password);
    if (!ReadPassword(source, std::string(Tr("Пароль: ")), true, password, error)) {
        PrintError(error);
        return kExitUsage;
    }
    WarnIfWeakPassword(password, args.Has("--quiet"));
    if (!r.to_stdout && r.archive.has_parent_path()) {
        fs::create_directories(r.archive.parent_path(), ec);  // as the dialog does
    }
    return Encrypt(r, args, password, values);
}

}  // namespace tazu::cli
