// Password reading: the input after its first byte is a password file
// (its first line, or all of it as it is) or standard input; the first byte
// picks which, and whether an empty password is allowed.
//
// What must hold: the password read is the first line without its line end
// ("\n", in a file also "\r\n") or the whole file, refused with a message
// when it is longer than 255 bytes, missing, or empty where that is not
// allowed; and standard input is read no further than the line's end.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "terminal/password.h"

namespace {

using namespace tazu;
using namespace tazu::fuzz;
using Kind = terminal::PasswordSource::Kind;

// The password the text gives, or nothing when it has none.
std::optional<std::string> Expected(Kind kind, const std::string& text, bool allow_empty) {
    std::string password = text;
    const std::size_t end = text.find('\n');
    if (kind == Kind::kStdin && text.empty()) {
        return std::nullopt;
    }
    if (kind != Kind::kFileRaw && end != std::string::npos) {
        password = text.substr(0, end);
        if (kind == Kind::kFileLine && !password.empty() && password.back() == '\r') {
            password.pop_back();
        }
    }
    if (password.size() > Str255::kCapacity || (password.empty() && !allow_empty)) {
        return std::nullopt;
    }
    return password;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzReader in(data, size);
    const std::uint8_t choice = in.Byte();
    const Kind kind = choice % 3 == 0   ? Kind::kStdin
                      : choice % 3 == 1 ? Kind::kFileLine
                                        : Kind::kFileRaw;
    const bool allow_empty = (choice & 4) != 0;
    const std::string text = in.Rest();
    terminal::PasswordSource source;
    source.kind = kind;
    if (kind == Kind::kStdin) {
        SetStandardInput(text);
    } else {
        source.file = (Scratch() / "password").string();
        WriteWhole(source.file, text);
    }
    Str255 password;
    std::string error;
    const bool ok = terminal::ReadPassword(source, "Password: ", /*confirm=*/true, password, error,
                                           allow_empty);
    const auto expected = Expected(kind, text, allow_empty);
    if (ok != expected.has_value() || ok == !error.empty()) {
        std::abort();  // taken when it should be refused, or the other way round
    }
    if (ok &&
        std::string(reinterpret_cast<const char*>(password.data()), password.size()) != *expected) {
        std::abort();  // not the bytes of the line or file
    }
    if (ok && kind == Kind::kStdin &&
        ::lseek(0, 0, SEEK_CUR) !=
            static_cast<off_t>(std::min(text.size(), expected->size() + 1))) {
        std::abort();  // standard input read past the line
    }
    return 0;
}
