// Byte constants fixed for all time: archives and key stores written by one
// copy of the program open in every other copy only with these exact values.
#pragma once

#include "cipher/str255.h"

namespace tazu {

// Signs salt records and archive trailers, and is the base of every entry's
// record signature key. 171 bytes.
const Str255& BuiltInKey();

// Signs the first record of format versions 03 and 04 (read side only). 11 bytes.
const Str255& ShortBuiltInKey();

// Stands in for the key-store protection password when protection is off.
// 67 printable ASCII characters.
const Str255& DefaultPassword();

// The eighteen "0" characters an entry records instead of a key mark when it
// was written without the personal code.
const Str255& NoKeyMark();

}  // namespace tazu
