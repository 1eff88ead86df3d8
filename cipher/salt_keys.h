// Keys derived from a salt, the same way for archive entries and key stores.
#pragma once

#include "cipher/str255.h"

namespace tazu {

// KeyedAdd(built-in key, KeyedDigest(salt[1..7], 5, built-in key)): the
// 171-byte key that signs every record after the salt record.
Str255 RecordSignatureKey(const Str255& salt);

// The salt from its 8th byte on: the key of the entry's (or store's) records.
Str255 SaltRecordKey(const Str255& salt);

}  // namespace tazu
