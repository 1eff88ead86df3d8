#include "terminal/password.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cipher/wipe.h"
#include "format/texts.h"
#include "io/native.h"
#include "terminal/console.h"
#include "terminal/terminal.h"

namespace tazu::terminal {
namespace {

constexpr int kStdin = 0;

// Room for the longest password plus its line end ("\r\n" in a file).
constexpr std::size_t kLineRoom = Str255::kCapacity + 2;

// A fixed buffer for password bytes, wiped when it goes.
struct SecretBuffer {
    char bytes[kLineRoom] = {};
    std::size_t size = 0;
    ~SecretBuffer() { WipeBytes(bytes, sizeof bytes); }
};

enum class LineRead { kLine, kEnd, kTooLong, kError };

// Reads one line from fd byte by byte (so nothing after it is consumed),
// without its line end, into buffer. A line longer than a password is
// refused; on a terminal the rest of it is read and dropped, elsewhere
// reading stops at once.
LineRead ReadLine(int fd, SecretBuffer& buffer, bool drain_long_line) {
    buffer.size = 0;
    bool any = false;
    for (;;) {
        char c = 0;
        const long got = ReadTypedByte(fd, &c);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return LineRead::kError;
        }
        if (got == 0) {
            return any ? (buffer.size > Str255::kCapacity ? LineRead::kTooLong : LineRead::kLine)
                       : LineRead::kEnd;
        }
        any = true;
        if (c == '\n') {
            return buffer.size > Str255::kCapacity ? LineRead::kTooLong : LineRead::kLine;
        }
        if (buffer.size <= Str255::kCapacity) {
            buffer.bytes[buffer.size++] = c;
        } else if (!drain_long_line) {
            return LineRead::kTooLong;
        }
    }
}

bool FromTerminal(const std::string& prompt, SecretBuffer& buffer, std::string& error) {
    const int fd = OpenTerminal();
    if (fd < 0) {
        error =
            Tr("нет пароля: нет терминала, чтобы его спросить; укажите --password-stdin, "
               "--password-file F или --password-file-raw F");
        return false;
    }
    LineRead got = LineRead::kError;
    {
        EchoOff quiet(fd);
        WriteTerminal(fd, prompt);
        got = ReadLine(fd, buffer, /*drain_long_line=*/true);
    }
    CloseTerminal(fd);
    if (got == LineRead::kTooLong) {
        error = Tr("пароль длиннее 255 байт");
    } else if (got != LineRead::kLine) {
        error = Tr("пароль не введен");
    }
    return got == LineRead::kLine;
}

bool FromStdin(SecretBuffer& buffer, std::string& error) {
    LineRead got = LineRead::kError;
    if (StdinIsTerminal()) {
        EchoOff quiet(kStdin);
        ::fputs(std::string(Tr("Пароль: ")).c_str(), stderr);
        got = ReadLine(kStdin, buffer, /*drain_long_line=*/true);
    } else {
        got = ReadLine(kStdin, buffer, /*drain_long_line=*/false);
    }
    if (got == LineRead::kTooLong) {
        error = Tr("пароль на стандартном вводе длиннее 255 байт");
    } else if (got != LineRead::kLine) {
        error = Tr("на стандартном вводе нет пароля");
    }
    return got == LineRead::kLine;
}

// The first line of the file (kFileLine) or all of it (kFileRaw), reading
// no more than a password and its line end can take.
bool FromFile(const PasswordSource& source, SecretBuffer& buffer, std::string& error) {
    const int fd = OpenPasswordFile(source.file);
    if (fd < 0) {
        error = TrFill("не удалось прочитать файл пароля {}: {}",
                       {source.file, SystemErrorText(errno)});
        return false;
    }
    const bool line = source.kind == PasswordSource::Kind::kFileLine;
    const std::size_t room = line ? kLineRoom : Str255::kCapacity + 1;
    buffer.size = 0;
    const char* end = nullptr;
    while (buffer.size < room && end == nullptr) {
        const long got = ReadSome(fd, buffer.bytes + buffer.size, room - buffer.size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = TrFill("не удалось прочитать файл пароля {}: {}",
                           {source.file, SystemErrorText(errno)});
            CloseFile(fd);
            return false;
        }
        if (got == 0) {
            break;
        }
        if (line) {
            end = static_cast<const char*>(
                std::memchr(buffer.bytes + buffer.size, '\n', static_cast<std::size_t>(got)));
        }
        buffer.size += static_cast<std::size_t>(got);
    }
    CloseFile(fd);
    if (end != nullptr) {
        buffer.size = static_cast<std::size_t>(end - buffer.bytes);
        if (buffer.size > 0 && buffer.bytes[buffer.size - 1] == '\r') {
            --buffer.size;
        }
    }
    if (buffer.size > Str255::kCapacity) {
        error = line ? TrFill("в первой строке файла пароля {} больше 255 байт", {source.file})
                     : TrFill("в файле пароля {} больше 255 байт", {source.file});
        return false;
    }
    return true;
}

bool Read(const PasswordSource& source, const std::string& prompt, SecretBuffer& buffer,
          std::string& error) {
    switch (source.kind) {
        case PasswordSource::Kind::kTerminal:
            return FromTerminal(prompt, buffer, error);
        case PasswordSource::Kind::kStdin:
            return FromStdin(buffer, error);
        case PasswordSource::Kind::kFileLine:
        case PasswordSource::Kind::kFileRaw:
            return FromFile(source, buffer, error);
    }
    return false;
}

}  // namespace

bool ReadPassword(const PasswordSource& source, const std::string& prompt, bool confirm,
                  Str255& password, std::string& error, bool allow_empty) {
    SecretBuffer first;
    if (!Read(source, prompt, first, error)) {
        return false;
    }
    if (confirm && source.kind == PasswordSource::Kind::kTerminal) {
        SecretBuffer again;
        if (!Read(source, std::string(Tr("Повторите: ")), again, error)) {
            return false;
        }
        if (again.size != first.size || std::memcmp(again.bytes, first.bytes, first.size) != 0) {
            error = Tr("пароли не совпадают");
            return false;
        }
    }
    if (first.size == 0 && !allow_empty) {
        error = Tr("пароль пуст");
        return false;
    }
    password = Str255::FromBytes(first.bytes, first.size);
    return true;
}

}  // namespace tazu::terminal
