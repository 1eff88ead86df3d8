// Tazu16x32.SFX: the self-decrypting stub. A self-decrypting output is this
// program with an archive appended; run, it finds where its own image ends
// and extracts the archive that follows. It can also extract a plain
// archive given with "/filr:".
//
// Options: "/filr:" + file to decrypt instead of itself, "/parh:" + folder
// to decrypt into. Without "/parh:" the folder is asked on the terminal,
// proposing the folder the self-decrypting file lies in.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/constants.h"
#include "decrypt/decrypt_object.h"
#include "format/language.h"
#include "io/native.h"
#include "keystore/keystore_file.h"
#include "program/process.h"
#include "stub/self_image.h"
#include "stub/terminal_host.h"
#include "terminal/exit_status.h"
#include "terminal/password.h"
#include "terminal/terminal.h"

using namespace tazu;

namespace {

constexpr std::string_view kFileOption = "/filr:";
constexpr std::string_view kFolderOption = "/parh:";
constexpr int kNoArchiveStatus = terminal::kExitUsage;

void PrintHelp() {
    std::fputs(Tr("Tazu16x32.SFX - расшифровка самораспаковывающегося файла.\n"
                  "  /filr:ФАЙЛ    расшифровать указанный зашифрованный файл вместо себя\n"
                  "  /parh:ПАПКА   папка, в которую расшифровать файлы\n"
                  "Пароль вводится с терминала (без отображения) или читается одной строкой\n"
                  "со стандартного ввода. Ключ Tazu16x32.key, лежащий рядом с файлом,\n"
                  "нужен для файлов, зашифрованных с персональным кодом.\n")
                   .data(),
               stderr);
}

// Plain stdio rather than iostreams keeps the stub small.
void PrintLine(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
}

struct Options {
    Path archive;  // empty: the stub's own file
    Path folder;   // empty: ask
};

bool ParseOptions(const std::vector<std::string>& arguments, Options& options) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (arg.substr(0, kFileOption.size()) == kFileOption) {
            options.archive = PathFromText(arg.substr(kFileOption.size()));
        } else if (arg.substr(0, kFolderOption.size()) == kFolderOption) {
            options.folder = PathFromText(arg.substr(kFolderOption.size()));
        } else {
            return false;
        }
    }
    return true;
}

// Passwords are asked on the terminal, or read a line each from standard
// input when it is not one (as in "echo $PW | ./Docs.exe").
terminal::PasswordSource PasswordInput() {
    terminal::PasswordSource source;
    if (!terminal::StdinIsTerminal()) {
        source.kind = terminal::PasswordSource::Kind::kStdin;
    }
    return source;
}

// The folder to decrypt into: asked on a terminal with the proposal as the
// default answer; without a terminal the proposal itself.
Path AskFolder(const Path& proposal) {
    if (!terminal::StdinIsTerminal()) {
        return proposal;
    }
    std::fprintf(stderr, "%s [%s]: ", Tr("Папка для расшифровки").data(),
                 terminal::Escaped(PathString(proposal)).c_str());
    std::fflush(stderr);
    std::string answer;
    if (!terminal::ReadAnswerLine(answer) || answer.empty()) {
        return proposal;
    }
    return PathFromText(answer);
}

// The key store beside the self-decrypting file gives the personal code and
// key mark. Without one, stand-ins are used that no entry's key mark can
// equal (key marks are at most 128 bytes), so entries made with a personal
// code end with the "another key store" message. False when there is no
// key store there.
bool LoadPersonalCode(const Path& path, KeyStoreValues& values) {
    KeyStoreLoadCode code = KeyStoreLoadCode::kCannotOpen;
    const bool present = LookAt(path, true) == PathState::kPresent;
    if (present) {
        code = ReadKeyStoreFile(path, Str255(), values);
        if (code == KeyStoreLoadCode::kWrongPassword) {
            Str255 password;
            std::string error;
            if (terminal::ReadPassword(PasswordInput(), std::string(Tr("Пароль ключа: ")), false,
                                       password, error)) {
                code = ReadKeyStoreFile(path, password, values);
                password.Wipe();
            }
        }
        if (code != KeyStoreLoadCode::kOk) {
            std::fprintf(stderr, "Tazu16x32.key: %s\n", std::string(LoadCodeText(code)).c_str());
        }
    }
    if (code != KeyStoreLoadCode::kOk) {
        values.personal_code = Str255(std::string(128, '\0'));
        values.key_mark = Str255(std::string(129, '-'));
    }
    return present;
}

// The end of a run: its report, its message, a hint where the personal code
// was missing, and the command line's exit status for the outcome.
int Finish(DecryptCode code, const TerminalDecryptHost& host, const Path& key_store,
           bool key_store_present) {
    for (const std::string& line : host.Report()) {
        PrintLine(stdout, terminal::Escaped(line));
    }
    if (code != DecryptCode::kOk) {
        PrintLine(stdout, DecryptCodeMessage(code));
    }
    if (code == DecryptCode::kOtherKeyStore && !key_store_present) {
        PrintLine(stdout, std::string(Tr("Файл зашифрован с персональным кодом: положите ключ ")) +
                              terminal::Escaped(PathString(key_store)) +
                              std::string(Tr(" рядом с файлом и запустите снова.")));
    }
    const int problems = static_cast<int>(host.Report().size()) + host.Skipped();
    return terminal::DecryptExitStatus(code, problems);
}

}  // namespace

int main(int argc, char** argv) {
    tazu::KeepSecretsOutOfCoreDumps();
    SetLanguage(LanguageFromEnvironment());
    Options options;
    if (!ParseOptions(terminal::ProgramArguments(argc, argv), options)) {
        PrintHelp();
        return kNoArchiveStatus;
    }
    const Path self = ProgramFile();
    if (self.empty() && options.archive.empty()) {
        PrintLine(stderr, DecryptCodeMessage(DecryptCode::kReadError));
        return terminal::kExitReadFailed;
    }
    std::uint64_t offset = 0;
    Path archive = options.archive;
    if (archive.empty()) {
        archive = self;
        const auto end = OwnImageEnd(self);
        const auto size = FileSizeOf(self);
        if (!end || !size || *end >= *size) {
            PrintLine(stderr, Tr("Зашифрованные данные не найдены"));
            return kNoArchiveStatus;
        }
        offset = *end;
    }

    FileReader reader(kStreamBufferSize);
    if (!reader.Open(archive) || !reader.Seek(offset)) {
        PrintLine(stderr, DecryptCodeMessage(DecryptCode::kReadError));
        return terminal::kExitReadFailed;
    }
    // Where the archive lies: the proposed folder, and where its key store is.
    const Path archive_folder = AbsolutePath(archive).parent_path();
    const Path folder = options.folder.empty() ? AskFolder(archive_folder) : options.folder;

    Str255 password;
    std::string error;
    if (!terminal::ReadPassword(PasswordInput(), std::string(Tr("Пароль: ")), false, password,
                                error)) {
        PrintLine(stderr, std::string(Tr("Пароль не прочитан: ")) + error);
        return terminal::kExitUsage;
    }
    KeyStoreValues keys;
    const Path key_store = archive_folder / PathFromText(kKeyStoreFileName);
    const bool key_store_present = LoadPersonalCode(key_store, keys);

    int folder_error = 0;
    MakeFolders(folder, folder_error);  // a folder that cannot be made fails at its first entry
    terminal::InstallInterruptHandler();
    DecryptRunState state;
    const auto archive_size = FileSizeOf(archive);
    TerminalDecryptHost host(state, terminal::StdinIsTerminal(),
                             archive_size && *archive_size > offset ? *archive_size - offset : 0);
    DecryptCode code = DecryptCode::kOk;
    DecryptArchive(password, keys.personal_code, keys.key_mark, reader, IdentityOf(reader.Fd()),
                   folder, host, state, code);
    password.Wipe();
    keys.personal_code.Wipe();
    host.Finish();
    if (code == DecryptCode::kOk && state.DecryptCancelled) {
        code = DecryptCode::kAborted;  // Ctrl-C between two entries is still an abort
    }

    return Finish(code, host, key_store, key_store_present);
}
