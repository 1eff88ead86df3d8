// tazu16x32-cli decrypt / verify: extract an archive, or read it through
// without writing anything and say what the extraction would report.
#include <iostream>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/keystore_access.h"
#include "decrypt/decrypt_object.h"

namespace tazu::cli {

namespace {

// The terminal side of a run: progress on standard error, report lines on
// standard output, the existing-file question on the terminal.
class TerminalHost final : public DecryptHost {
  public:
    TerminalHost(DecryptRunState& state, std::string on_exists)
        : state_(state), policy_(std::move(on_exists)) {}

    void addBytesProcessed(std::int64_t count) override { bytes_ += count; }
    void addEntryHandled() override { ++entries_; }
    void processEvents() override {
        progress_.Update(static_cast<std::uint64_t>(bytes_), entries_);
        if (Interrupted()) {
            state_.abort = true;
        }
    }
    void appendReport(const std::string& line) override {
        progress_.Finish();
        std::cout << line << '\n';
        ++report_lines_;
    }
    ExistingFileChoice askExistingFile(const std::string& path) override {
        if (policy_ == "replace") {
            return ExistingFileChoice::Replace;
        }
        if (policy_ == "skip") {
            return ExistingFileChoice::Skip;
        }
        if (policy_ == "cancel") {
            return ExistingFileChoice::Cancel;
        }
        progress_.Finish();
        while (true) {
            std::cerr << "Файл уже существует: " << path
                      << "\n[r]eplace, [s]kip, [c]ancel, [R]eplace all, [S]kip all? " << std::flush;
            std::string answer;
            if (!std::getline(std::cin, answer)) {
                return ExistingFileChoice::Cancel;
            }
            if (answer == "r" || answer == "R") {
                policy_ = answer == "R" ? "replace" : policy_;
                return ExistingFileChoice::Replace;
            }
            if (answer == "s" || answer == "S") {
                policy_ = answer == "S" ? "skip" : policy_;
                return ExistingFileChoice::Skip;
            }
            if (answer == "c" || answer == "C") {
                return ExistingFileChoice::Cancel;
            }
        }
    }
    void notePersonalCodeUse(bool used) override { UpdatePersonalCodeIndicator(indicator_, used); }

    void Finish() { progress_.Finish(); }
    const std::string& indicator() const { return indicator_; }

  private:
    DecryptRunState& state_;
    std::string policy_;
    ProgressLine progress_;
    std::int64_t bytes_ = 0;
    std::uint64_t entries_ = 0;
    int report_lines_ = 0;
    std::string indicator_;
};

int Run(const std::vector<std::string>& argv, bool extract) {
    const Args args(
        argv, {"-d", "--on-exists", "--password-file", "--keystore", "--keystore-password-file"},
        {"--password-stdin"});
    if (!args.ok()) {
        PrintError(args.error());
        return 2;
    }
    if (args.positional().size() != 1) {
        PrintError(std::string("usage: ") + (extract ? "decrypt" : "verify") +
                   " ARCHIVE [-d DEST] [--on-exists ask|replace|skip|cancel]");
        return 2;
    }
    const std::filesystem::path archive = args.positional()[0];
    std::string on_exists = args.Value("--on-exists").value_or(StdinIsTerminal() ? "ask" : "skip");
    if (on_exists != "ask" && on_exists != "replace" && on_exists != "skip" &&
        on_exists != "cancel") {
        PrintError("--on-exists takes ask, replace, skip or cancel");
        return 2;
    }
    if (on_exists == "ask" && (!StdinIsTerminal() || args.Has("--password-stdin"))) {
        on_exists = "skip";  // nothing is overwritten unasked
    }
    std::filesystem::path dest = args.Value("-d").value_or(archive.parent_path().string());
    if (dest.empty()) {
        dest = ".";
    }

    KeyStoreValues store;
    std::string error;
    if (!LoadKeyStoreForCommand(args, store, error)) {
        PrintError(error);
        return 1;
    }
    WipeOnExit wipe_code(store.personal_code);
    WipeOnExit wipe_mark(store.key_mark);
    Str255 password;
    WipeOnExit wipe_password(password);
    if (!ReadPassword(PasswordSourceFrom(args), "Password: ", false, password, error)) {
        PrintError(error);
        return 2;
    }
    if (extract) {
        std::error_code ec;
        std::filesystem::create_directories(dest, ec);
    }

    InstallInterruptHandler();
    DecryptRunState state;
    TerminalHost host(state, on_exists);
    DecryptCode code = DecryptCode::kOk;
    DecryptObject(password, store.personal_code, store.key_mark, archive, dest, host, state, code,
                  extract);
    host.Finish();
    // An abort between two entries leaves code 0; it is still an abort.
    if (code == DecryptCode::kOk && state.abort) {
        code = DecryptCode::kAborted;
    }
    if (!host.indicator().empty()) {
        std::cerr << "Персональный код: " << host.indicator() << '\n';
    }
    const std::string_view message = DecryptCodeMessage(code);
    (code == DecryptCode::kEndOfData ? std::cout : std::cerr) << message << '\n';
    return code == DecryptCode::kEndOfData ? 0 : static_cast<int>(code);
}

}  // namespace

int RunDecrypt(const std::vector<std::string>& args) {
    return Run(args, true);
}

int RunVerify(const std::vector<std::string>& args) {
    return Run(args, false);
}

}  // namespace tazu::cli
