// Password input of the command-line companion and the stub: from the
// terminal without echo, from standard input only when asked to, or from a
// file. Every read goes into a fixed buffer that is wiped afterwards, reads
// at most what a password can be, and leaves the terminal as it found it on
// every way out, Ctrl-C included.
#pragma once

#include <string>

#include "cipher/str255.h"

namespace tazu::terminal {

// Where a password comes from.
struct PasswordSource {
    enum class Kind {
        kTerminal,  // asked on the controlling terminal without echo
        kStdin,     // one line of standard input, without its line end
        kFileLine,  // the first line of a file, without its line end
        kFileRaw,   // every byte of a file, as it is
    };
    Kind kind = Kind::kTerminal;
    std::string file;  // for kFileLine and kFileRaw
};

// Reads a password of 1 to 255 bytes. On the terminal the prompt is shown
// and typing is not echoed; with confirm it is asked twice. Returns false
// with a message in error when there is none or it is unusable. With
// allow_empty an empty password is accepted and leaves password empty.
bool ReadPassword(const PasswordSource& source, const std::string& prompt, bool confirm,
                  Str255& password, std::string& error, bool allow_empty = false);

}  // namespace tazu::terminal
