#include "keystore/key_store.h"

#include "cipher/constants.h"
#include "cipher/keyed.h"
#include "keystore/keystore_layout.h"

namespace tazu {

KeyStore::KeyStore(Random& random) : random_(random) {
    mask_.resize(128 + random_.Below(128));
    for (std::size_t i = 0; i < mask_.size(); ++i) {
        mask_[i] = static_cast<std::uint8_t>(random_.Below(255));
    }
}

KeyStore::~KeyStore() {
    for (Str255& slot : slots_) {
        slot.Wipe();
    }
    mask_.Wipe();
}

KeyStoreLoadCode KeyStore::Load(const Path& path, const Str255& password) {
    KeyStoreValues values;
    const KeyStoreLoadCode code = ReadKeyStoreFile(path, password, values);
    if (code == KeyStoreLoadCode::kOk) {
        settings_ = values.settings;
        SetProtectionPassword(password);
        slots_[1] = KeyedAdd(values.personal_code, mask_);
        slots_[2] = KeyedAdd(values.key_mark, mask_);
        loaded_ = true;
    } else {
        // After a failure the slots hold nothing anyone could use.
        for (Str255& slot : slots_) {
            slot.Wipe();
        }
        loaded_ = false;
    }
    values.personal_code.Wipe();
    values.key_mark.Wipe();
    return code;
}

Str255 KeyStore::GetKeyStoreValue(int kind) const {
    if (kind < 1 || kind > 3) {
        return {};
    }
    return KeyedSub(slots_[kind - 1], mask_);
}

void KeyStore::SetProtectionPassword(const Str255& password) {
    slots_[0] = KeyedAdd(password.empty() ? DefaultPassword() : password, mask_);
}

bool KeyStore::IsProtected() const {
    Str255 password = GetKeyStoreValue(1);
    WipeOnExit wipe(password);
    return !password.empty() && !(password == DefaultPassword());
}

KeyStoreSaveCode KeyStore::Save(const Path& path, std::uint8_t settings) {
    using keystore_layout::kKeptSettingsBits;
    const auto byte = static_cast<std::uint8_t>((settings & ~kKeptSettingsBits) |
                                                (settings_ & kKeptSettingsBits));
    Str255 password = GetKeyStoreValue(1);
    WipeOnExit wipe_password(password);
    KeyStoreValues values;
    values.settings = byte;
    values.personal_code = GetKeyStoreValue(2);
    values.key_mark = GetKeyStoreValue(3);
    WipeOnExit wipe_code(values.personal_code);
    WipeOnExit wipe_mark(values.key_mark);
    // Before a successful load the slots are empty; WriteKeyStoreFile then
    // refuses the values and the old store stays as it is.
    const KeyStoreSaveCode code = WriteKeyStoreFile(path, password, values, random_);
    if (code == KeyStoreSaveCode::kOk) {
        settings_ = byte;
    }
    return code;
}

}  // namespace tazu
