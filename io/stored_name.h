// What a stored name may be, and how a name is shown on a screen: one rule
// for the writer (which never stores a name the reader would refuse) and the
// reader (which never writes outside the destination), and one escaping for
// the terminal and the windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tazu {

// Why a stored name cannot be used; kNone when it can.
enum class StoredNameProblem : std::uint8_t {
    kNone,
    kEmpty,        // no name at all
    kTooLong,      // more than 255 bytes
    kNulByte,      // a NUL byte
    kDrivePrefix,  // "C:" in front
    kEmptyPart,    // two separators in a row, or one at the end
    kDotPart,      // a "." or ".." part
    kNotHere,      // a part this system cannot create as it stands
    kSeparator,    // a file's own name holding "\", the archive's separator
};

// Checks a stored name, split at "\" and "/": one leading separator roots it
// in the destination; an empty, "." or ".." part, a drive prefix, a NUL
// byte, more than 255 bytes or a part this system would not create as it
// stands (see NameComponentAllowed) make it unsafe. components, when given,
// gets the parts of a safe name (and is emptied otherwise).
StoredNameProblem CheckStoredName(std::string_view name,
                                  std::vector<std::string>* components = nullptr);

// The stored name of one file named name (a file's own name, or a name the
// user gave for it): a leading "./" is dropped, as it says nothing; with
// own_name a "\" is refused, since the reader would split the name there.
// Empty with problem set when the reader would refuse the result.
std::string SingleFileStoredName(std::string_view name, bool own_name, StoredNameProblem& problem);

// Text as it may be shown on a terminal or in a window: control characters
// (C0, DEL) and bytes that are not UTF-8 as \xNN; C1 controls,
// bidirectional marks, embeddings, overrides and isolates, zero-width
// characters, the line and paragraph separators and the byte order mark as
// \u{NNNN}. So a name can neither move the cursor, recolour or retitle a
// terminal, fake a line, nor turn the text around it.
std::string VisibleText(std::string_view text);

}  // namespace tazu
