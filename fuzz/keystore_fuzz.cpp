// Feeds arbitrary bytes to the key-store reader as the first bytes of a
// store file, read with the default password: the marker, the backup
// copy's search and the choice between the two copies' records.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "keystore/keystore_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    tazu::KeyStoreValues values;
    const tazu::KeyStoreLoadCode code = tazu::ReadKeyStoreBytes(bytes, tazu::Str255(), values);
    if (code == tazu::KeyStoreLoadCode::kOk &&
        (values.personal_code.empty() || values.key_mark.empty())) {
        std::abort();  // a loaded store always has both
    }
    return 0;
}
