// Passphrases: words drawn at random from the EFF large word list (7776
// words, so about 12.9 bits each), built into the program so that nothing
// has to be fetched or run.
#pragma once

#include <string_view>
#include <vector>

#include "cipher/random.h"
#include "cipher/str255.h"

namespace tazu {

// Six words: about 77 bits, far beyond 1000 years for the stated attacker
// (100 cores) at this format's guessing speed.
inline constexpr int kDefaultPassphraseWords = 6;
// As many words as always fit in a password (the longest word has 9 letters).
inline constexpr int kMaxPassphraseWords = 24;

// The words of the list, in its order.
const std::vector<std::string_view>& PassphraseWords();

// count words (1 to kMaxPassphraseWords; others are clamped) drawn
// independently and uniformly with random, separated by single spaces (some
// words of the list hold a hyphen).
Str255 GeneratePassphrase(int count, Random& random);

}  // namespace tazu
