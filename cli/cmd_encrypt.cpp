// encrypt: a file or a folder tree into one archive, as the encrypt dialog
// does it, with the key store's personal code and the self-decrypting stub.
#include <sys/stat.h>

#include <iostream>
#include <system_error>

#include "cipher/random.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/keystore_access.h"
#include "encrypt/encrypt_messages.h"
#include "encrypt/encrypt_object.h"

namespace tazu::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kEncryptUsage =
    "Usage: tazu16x32-cli encrypt SOURCE [-o ARCHIVE] [--personal-code] [--sfx] [--force]\n"
    "           [--password-stdin | --password-file F] [--keystore PATH]\n"
    "           [--keystore-password-file F] [--stub PATH]\n"
    "  -o ARCHIVE        the archive (default: a file's extension replaced by .shf,\n"
    "                    a folder's path + .shf; .exe with --sfx)\n"
    "  --personal-code   also protect the entries with the key store's personal code\n"
    "  --sfx             put the self-decrypting stub Tazu16x32.SFX in front\n"
    "  --stub PATH       take the stub from PATH instead of the program's folder\n"
    "  --force           replace an existing archive without asking\n"
    "Exit status: 0 on success, else the run's result code (1 bad arguments,\n"
    "2 write failure, 3 interrupted, 4 source unreadable, 11 stub missing).\n";

int Usage(const std::string& error) {
    PrintError(error);
    std::cerr << kEncryptUsage;
    return 2;
}

// The absolute path without a trailing slash.
fs::path Clean(const fs::path& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec).lexically_normal();
    if (!p.has_filename() && p != p.root_path()) {
        p = p.parent_path();
    }
    return p;
}

// The encrypt dialog's proposal: a file's extension replaced, a folder's
// path with the extension added ("Disk(root)" for the file-system root).
fs::path DefaultArchivePath(const fs::path& source, bool folder, bool sfx) {
    const std::string ext = sfx ? ".exe" : ".shf";
    fs::path p = Clean(source);
    if (!folder) {
        return p.replace_extension(ext);
    }
    if (p == p.root_path()) {
        return p / ("Disk(root)" + ext);
    }
    return fs::path(p.native() + ext);
}

// The terminal stands in for the progress window; report lines go to
// standard output as they come.
class TerminalHost final : public EncryptHost {
  public:
    TerminalHost(EncryptRunState& state, ProgressLine& progress)
        : state_(state), progress_(progress) {}

    void addBytesProcessed(std::int64_t count) override {
        bytes_ += static_cast<std::uint64_t>(count);
        progress_.Update(bytes_, files_);
    }
    void addFileEncrypted() override {
        ++files_;
        progress_.Update(bytes_, files_);
    }
    void processEvents() override {
        if (Interrupted()) {
            state_.EncryptCancelled = true;
        }
    }
    void appendReport(const std::string& line) override {
        progress_.Finish();
        std::cout << line << '\n' << std::flush;
    }

  private:
    EncryptRunState& state_;
    ProgressLine& progress_;
    std::uint64_t bytes_ = 0;
    std::uint64_t files_ = 0;
};

}  // namespace

int RunEncrypt(const std::vector<std::string>& argv) {
    const Args args(argv,
                    {"-o", "--password-file", "--keystore", "--keystore-password-file", "--stub"},
                    {"--personal-code", "--sfx", "--force", "--password-stdin"});
    if (!args.ok()) {
        return Usage(args.error());
    }
    if (args.positional().size() != 1) {
        return Usage("encrypt takes one SOURCE");
    }
    if (args.Has("--password-stdin") && args.Has("--password-file")) {
        return Usage("give either --password-stdin or --password-file");
    }
    const fs::path source = args.positional()[0];
    const bool sfx = args.Has("--sfx");
    std::error_code ec;
    const bool folder = fs::is_directory(source, ec);
    const fs::path archive =
        args.Value("-o") ? fs::path(*args.Value("-o")) : DefaultArchivePath(source, folder, sfx);
    if (!archive.has_filename()) {
        return Usage("the archive name is not a file name: " + archive.string());
    }

    KeyStoreValues values;
    WipeOnExit wipe_code(values.personal_code);
    std::string error;
    if (!LoadKeyStoreForCommand(args, values, error)) {
        PrintError(error);
        return 1;
    }

    if (fs::exists(fs::symlink_status(archive, ec)) && !args.Has("--force") &&
        !AskYesNo("Файл уже существует: " + archive.string() + ". Заменить файл?")) {
        PrintError(archive.string() + " exists; --force replaces it");
        return 1;
    }
    Str255 password;
    WipeOnExit wipe_password(password);
    if (!ReadPassword(PasswordSourceFrom(args), "Password: ", true, password, error)) {
        PrintError(error);
        return 1;
    }
    if (archive.has_parent_path()) {
        fs::create_directories(archive.parent_path(), ec);  // as the dialog does
    }

    InstallInterruptHandler();
    std::uint64_t total = 0;
    if (!folder) {
        const auto size = fs::file_size(source, ec);
        total = ec ? 0 : size;
    }
    ProgressLine progress(total);
    EncryptRunState state;
    TerminalHost host(state, progress);
    EncryptContext ctx{state, host, ProgramRandom()};
    EncryptObjectOptions options;
    options.self_decrypting = sfx;
    options.stub_path = args.Value("--stub").value_or("");
    EncryptCode code = EncryptCode::kNone;
    const bool success =
        EncryptObject(password, values.personal_code, values.key_mark, archive, source,
                      args.Has("--personal-code"),
                      folder ? EncryptMode::kFolder : EncryptMode::kSingleFile, code, ctx, options);
    progress.Finish();
    const std::string_view message = EncryptOutcomeText(success, code);
    if (success) {
        std::cout << message << '\n';
        return 0;
    }
    PrintError(message.empty() ? "encryption failed" : std::string(message));
    return code == EncryptCode::kNone ? 1 : static_cast<int>(code);
}

}  // namespace tazu::cli
