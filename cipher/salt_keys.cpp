#include "cipher/salt_keys.h"

#include "cipher/constants.h"
#include "cipher/keyed.h"

namespace tazu {

Str255 RecordSignatureKey(const Str255& salt) {
    return KeyedAdd(BuiltInKey(), KeyedDigest(salt.substr(0, 7), 5, BuiltInKey()));
}

Str255 SaltRecordKey(const Str255& salt) {
    return salt.substr(7);
}

}  // namespace tazu
