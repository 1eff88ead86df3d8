#include "ui/key_store_loader.h"

#include "cipher/constants.h"
#include "keystore/keystore_file.h"

namespace tazu {

GuessOutcome GuessingProtection(std::uint8_t& counter, Random& random) {
    if (counter < 255) {
        ++counter;
    }
    if (counter <= 4) {
        return GuessOutcome::kNothing;
    }
    const std::uint32_t r = random.Below(10);
    if (r == 0 || r == 7) {
        return GuessOutcome::kTerminate;
    }
    if (r == 9) {
        return GuessOutcome::kLock;
    }
    return GuessOutcome::kNothing;
}

namespace {

void ApplySettings(const KeyStore& store, LoadHost& host) {
    const std::uint8_t settings = store.Settings();
    if (store.IsProtected()) {
        host.SetSwitch(LoadSwitch::kCheckBox1, true);
    }
    // A bit of 0 leaves its control as it is: everything starts off.
    constexpr struct {
        SettingsBit bit;
        LoadSwitch control;
    } kBits[] = {{kUsePersonalCodeBit, LoadSwitch::kCheckBox2},
                 {kSelfDecryptingBit, LoadSwitch::kCheckBox3},
                 {kHidePasswordsBit, LoadSwitch::kCheckBox4},
                 {kSaveOnExitBit, LoadSwitch::kCheckBox5},
                 {kSecondPictureBit, LoadSwitch::kImage2}};
    for (const auto& b : kBits) {
        if (SettingsBitSet(settings, b.bit)) {
            host.SetSwitch(b.control, true);
        }
    }
    // The personal code and the self-decrypting output never go together.
    if (host.IsSwitchOn(LoadSwitch::kCheckBox2) && host.IsSwitchOn(LoadSwitch::kCheckBox3)) {
        host.SetSwitch(LoadSwitch::kCheckBox2, false);
        host.SetSwitch(LoadSwitch::kCheckBox3, false);
    }
    // Last: the protection switch saves on change only from here on.
    host.SetSwitch(LoadSwitch::kCheckBox6, true);
}

}  // namespace

bool LoadKeyStore(Session& session, const Str255& password, LoadHost& host) {
    KeyStore& store = *session.key_store;
    const Str255& used = password.empty() ? DefaultPassword() : password;
    const KeyStoreLoadCode code = store.Load(session.key_store_path, used);
    if (code == KeyStoreLoadCode::kOk) {
        ApplySettings(store, host);
    } else {
        if (code != KeyStoreLoadCode::kWrongPassword) {
            host.LockInput();
        }
        // The silent attempt with the default password at start leaves the
        // status as it was.
        if (code != KeyStoreLoadCode::kWrongPassword || !(used == DefaultPassword())) {
            host.ShowStatus(LoadFailureText(code, session.key_store_path));
        }
        host.ProcessEvents();
    }
    switch (GuessingProtection(session.password_attempt_counter, session.random)) {
        case GuessOutcome::kTerminate:
            session.Terminate();
            break;
        case GuessOutcome::kLock:
            host.LockInput();
            host.ShowStatus(Tr(kStatusGuessingLocked));
            break;
        case GuessOutcome::kNothing:
            break;
    }
    return code == KeyStoreLoadCode::kOk;
}

}  // namespace tazu
