// password: how long a password would hold against an offline guessing
// attack on an archive of this format, and passphrases on request; and the
// warning encrypt and keystore-passwd give for a weak password.
#include <charconv>
#include <iostream>

#include "cipher/random.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/help.h"
#include "format/language.h"
#include "password/guess_rate.h"
#include "password/passphrase.h"
#include "password/password_texts.h"
#include "password/strength.h"

namespace tazu::cli {
namespace {

// The N of --words N: a whole number of 1 to kMaxPassphraseWords.
bool ParseWordCount(const std::string& text, int& count) {
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, count);
    return ec == std::errc() && at == end && count >= 1 && count <= kMaxPassphraseWords;
}

int Generate(const Args& args) {
    int count = kDefaultPassphraseWords;
    if (const std::optional<std::string> words = args.Value("--words");
        words && !ParseWordCount(*words, count)) {
        return UsageError("password", TrFill("--words принимает число от 1 до {}",
                                             {std::to_string(kMaxPassphraseWords)}));
    }
    Str255 phrase = GeneratePassphrase(count, ProgramRandom());
    WipeOnExit wipe(phrase);
    std::cout << phrase.view() << '\n' << std::flush;
    return kExitOk;
}

}  // namespace

void WarnIfWeakPassword(const Str255& password, bool quiet) {
    if (quiet || password.empty()) {
        return;
    }
    const StrengthEstimate estimate = EstimateStrength(password.view(), GuessesPerSecond());
    if (IsWeak(estimate)) {
        PrintError(WeakPasswordWarning(estimate));
    }
}

int RunPassword(const Args& args) {
    PasswordSource source;
    std::string error;
    if (!PasswordSourceFrom(args, source, error)) {
        return UsageError("password", error);
    }
    const bool has_source = source.kind != PasswordSource::Kind::kTerminal;
    if (args.Has("--generate")) {
        return has_source
                   ? UsageError("password", std::string(Tr("--generate не принимает пароль")))
                   : Generate(args);
    }
    if (args.Value("--words")) {
        return UsageError("password", std::string(Tr("--words - только вместе с --generate")));
    }
    Str255 password;
    WipeOnExit wipe(password);
    if (!ReadPassword(source, std::string(Tr("Пароль: ")), false, password, error)) {
        PrintError(error);
        return kExitUsage;
    }
    std::cout << StrengthReport(EstimateStrength(password.view(), GuessesPerSecond()))
              << std::flush;
    return kExitOk;
}

}  // namespace tazu::cli
