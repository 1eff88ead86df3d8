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
#include "io/native.h"
#include "keystore/keystore_file.h"
#include "program/process.h"
#include "stub/self_image.h"
#include "stub/terminal_host.h"
#include "terminal/password.h"
#include "terminal/terminal.h"

using namespace tazu;

namespace {

constexpr std::string_view kFileOption = "/filr:";
constexpr std::string_view kFolderOption = "/parh:";
constexpr int kNoArchiveStatus = 2;

constexpr const char* kHelp =
    "Tazu16x32.SFX - расшифровка самораспаковывающегося файла.\n"
    "  /filr:ФАЙЛ    расшифровать указанный зашифрованный файл вместо себя\n"
    "  /parh:ПАПКА   папка, в которую расшифровать файлы\n"
    "Пароль вводится с терминала (без отображения) или читается одной строкой\n"
    "со стандартного ввода. Ключ Tazu16x32.key, лежащий рядом с файлом,\n"
    "нужен для файлов, зашифрованных с персональным кодом.\n";

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
    std::fprintf(stderr,
                 "Папка для расшифровки [%s]: ", terminal::Escaped(PathString(proposal)).c_str());
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
// code end with the "another key store" message.
void LoadPersonalCode(const Path& folder, KeyStoreValues& values) {
    const Path path = folder / PathFromText(kKeyStoreFileName);
    KeyStoreLoadCode code = KeyStoreLoadCode::kCannotOpen;
    if (LookAt(path, true) == PathState::kPresent) {
        code = ReadKeyStoreFile(path, Str255(), values);
        if (code == KeyStoreLoadCode::kWrongPassword) {
            Str255 password;
            std::string error;
            if (terminal::ReadPassword(PasswordInput(), "Пароль ключа: ", false, password, error)) {
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
}

}  // namespace

int main(int argc, char** argv) {
    tazu::KeepSecretsOutOfCoreDumps();
    Options options;
    if (!ParseOptions(terminal::ProgramArguments(argc, argv), options)) {
        std::fputs(kHelp, stderr);
        return kNoArchiveStatus;
    }
    const Path self = ProgramFile();
    if (self.empty() && options.archive.empty()) {
        PrintLine(stderr, DecryptCodeMessage(DecryptCode::kReadError));
        return static_cast<int>(DecryptCode::kReadError);
    }
    std::uint64_t offset = 0;
    Path archive = options.archive;
    if (archive.empty()) {
        archive = self;
        const auto end = OwnImageEnd(self);
        const auto size = FileSizeOf(self);
        if (!end || !size || *end >= *size) {
            std::fputs("Зашифрованные данные не найдены\n", stderr);
            return kNoArchiveStatus;
        }
        offset = *end;
    }

    FileReader reader(kStreamBufferSize);
    if (!reader.Open(archive) || !reader.Seek(offset)) {
        PrintLine(stderr, DecryptCodeMessage(DecryptCode::kReadError));
        return static_cast<int>(DecryptCode::kReadError);
    }
    // Where the archive lies: the proposed folder, and where its key store is.
    const Path archive_folder = AbsolutePath(archive).parent_path();
    const Path folder = options.folder.empty() ? AskFolder(archive_folder) : options.folder;

    Str255 password;
    std::string error;
    if (!terminal::ReadPassword(PasswordInput(), "Пароль: ", false, password, error)) {
        // No password given: refused like an empty password field.
        PrintLine(stdout, DecryptCodeMessage(DecryptCode::kWrongPassword));
        return static_cast<int>(DecryptCode::kWrongPassword);
    }
    KeyStoreValues keys;
    LoadPersonalCode(archive_folder, keys);

    int folder_error = 0;
    MakeFolders(folder, folder_error);  // a folder that cannot be made fails at its first entry
    terminal::InstallInterruptHandler();
    DecryptRunState state;
    TerminalDecryptHost host(state, terminal::StdinIsTerminal());
    DecryptCode code = DecryptCode::kOk;
    DecryptArchive(password, keys.personal_code, keys.key_mark, reader, IdentityOf(reader.fd()),
                   folder, host, state, code);
    password.Wipe();
    keys.personal_code.Wipe();
    host.Finish();
    if (code == DecryptCode::kOk && state.DecryptCancelled) {
        code = DecryptCode::kAborted;  // Ctrl-C between two entries is still an abort
    }

    for (const std::string& line : host.report()) {
        PrintLine(stdout, terminal::Escaped(line));
    }
    if (code != DecryptCode::kOk) {
        PrintLine(stdout, DecryptCodeMessage(code));
    }
    return code == DecryptCode::kEndOfData ? 0 : static_cast<int>(code);
}
