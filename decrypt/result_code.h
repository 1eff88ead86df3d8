// Result codes of an extraction run and the messages shown for them.
#pragma once

#include <cstdint>
#include <string_view>

namespace tazu {

enum class DecryptCode : std::uint8_t {
    kOk = 0,             // nothing fatal; the run goes on
    kEmptyArgument = 1,  // password, personal code or key mark empty
    kBadVersion = 2,     // unrecognised version marker
    kEndOfData = 3,      // no further entry: the normal end
    kReadError = 4,      // a header record came back short, or the archive cannot be opened
    kDamaged = 5,        // a header signature failed, versions differ, or a bad trailer
    kOtherKeyStore = 6,  // made with another key store's personal code
    kWriteError = 7,     // a block could not be written completely
    kWrongPassword = 8,  // the salt record does not open with the password
    kAborted = 9,        // aborted by the user, or cancel chosen for an existing file
};

// The message the decrypt dialog shows for a code; empty for code 0.
std::string_view DecryptCodeMessage(DecryptCode code);

}  // namespace tazu
