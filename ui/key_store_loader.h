// Loading the key store into the main window's switches, and the guessing
// protection that makes trying passwords at the prompt a losing game. Free
// of Qt: the prompt implements LoadHost, a test double records the calls.
#pragma once

#include <cstdint>
#include <string_view>

#include "cipher/random.h"
#include "cipher/str255.h"
#include "format/language.h"
#include "ui/session.h"

namespace tazu {

// The controls the loader sets, in the order it sets them.
enum class LoadSwitch : std::uint8_t {
    kCheckBox1,  // protected by a password
    kCheckBox2,  // settings bit 6: use the personal code
    kCheckBox3,  // bit 5: self-decrypting output
    kCheckBox4,  // bit 4: hide passwords while typing
    kCheckBox5,  // bit 3: save the settings on exit
    kImage2,     // bit 2: the About tab shows its second picture
    kCheckBox6,  // the hidden "store loaded" mark; checking it runs the post-load step
};

class LoadHost {
  public:
    virtual ~LoadHost() = default;
    virtual bool IsSwitchOn(LoadSwitch which) const = 0;
    // Sets a switch; a change runs the control's own reaction.
    virtual void SetSwitch(LoadSwitch which, bool on) = 0;
    // The prompt's status line.
    virtual void ShowStatus(std::string_view text) = 0;
    // Disables the prompt's password field and "Продолжить".
    virtual void LockInput() = 0;
    // Lets pending window messages run so the prompt repaints.
    virtual void ProcessEvents() = 0;
};

inline constexpr std::string_view kStatusEnterPassword = TextKey("ввод пароля");
inline constexpr std::string_view kStatusGuessingLocked = TextKey("подбор пароля невозможен");

enum class GuessOutcome : std::uint8_t { kNothing, kTerminate, kLock };

// Counts one more attempt. From the fifth attempt on, a draw of Random(10)
// ends the run on 0 or 7 and locks the prompt on 9. The counter stops at 255
// instead of wrapping to 0, which would grant four free attempts again.
GuessOutcome GuessingProtection(std::uint8_t& counter, Random& random);

// Loads the store at session.key_store_path with password (empty: the
// default password), sets the switches on success, shows the outcome on
// failure, and runs the guessing protection after either. Returns whether the
// store was read. session.key_store must exist.
bool LoadKeyStore(Session& session, const Str255& password, LoadHost& host);

}  // namespace tazu
