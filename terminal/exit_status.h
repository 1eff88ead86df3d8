// The exit statuses of tazu16x32-cli and the self-decrypting stub: one
// table for both, so a script can tell a complete run from a damaged one
// and one failure from another. Where a status fits, it is the run's own
// result code (4 to 9 and 11 are the codes of the same name).
#pragma once

#include <cstdint>

#include "decrypt/result_code.h"

namespace tazu::terminal {

enum ExitStatus : int {
    kExitOk = 0,             // complete, every file intact
    kExitIncomplete = 1,     // complete, but the report lists damaged, skipped or unreadable files
    kExitUsage = 2,          // bad arguments, or no usable password
    kExitKeyStore = 3,       // the key store is missing, damaged or does not open
    kExitReadFailed = 4,     // the source or the archive cannot be read
    kExitDamaged = 5,        // the archive is damaged (a header record or its end)
    kExitOtherKeyStore = 6,  // made with another key store's personal code
    kExitWriteFailed = 7,    // writing failed (the cause follows the message)
    kExitWrongPassword = 8,  // the password does not open the archive
    kExitInterrupted = 9,    // stopped by Ctrl-C or a cancel answer
    kExitBadVersion = 10,    // a version this program does not know
    kExitStubMissing = 11,   // the self-decrypting stub is missing
    kExitInternal = 12,      // an argument the engine refused (should not happen)
};

// The status of a decryption run that ended with code; problems counts the
// report's lines about damaged, skipped or unreadable files, recovered the
// damaged stretches a recovering run passed over.
int DecryptExitStatus(DecryptCode code, int problems, std::uint32_t recovered = 0);

// Whether a run that passed over recovered damaged stretches went on to the
// end of the archive: it then ended on the damage it passed over (or found
// none behind the last one), not on a wrong password, another key store, a
// write error or an interruption.
bool RecoveredRun(DecryptCode code, std::uint32_t recovered);

}  // namespace tazu::terminal
