// Passphrases: the stated number of words, every one from the list, drawn
// afresh each time, and a default long enough for the stated attacker.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>
#include <string>

#include "cipher/random.h"
#include "password/guess_rate.h"
#include "password/passphrase.h"
#include "password/strength.h"

namespace tazu {
namespace {

std::vector<std::string> Words(const Str255& phrase) {
    std::vector<std::string> words;
    std::istringstream in(phrase.str());
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

TEST(Passphrase, TheListIsTheWholeEffLargeList) {
    const auto& list = PassphraseWords();
    ASSERT_EQ(list.size(), 7776u);
    EXPECT_EQ(list.front(), "abacus");
    EXPECT_EQ(list.back(), "zoom");
    EXPECT_EQ(std::set<std::string_view>(list.begin(), list.end()).size(), list.size());
}

TEST(Passphrase, HasTheStatedWordsFromTheListAndDiffersEachTime) {
    const auto& list = PassphraseWords();
    const std::set<std::string_view> known(list.begin(), list.end());
    for (int count : {1, 4, kDefaultPassphraseWords, kMaxPassphraseWords}) {
        const Str255 phrase = GeneratePassphrase(count, ProgramRandom());
        const std::vector<std::string> words = Words(phrase);
        ASSERT_EQ(words.size(), static_cast<std::size_t>(count)) << phrase.str();
        for (const std::string& w : words) {
            EXPECT_TRUE(known.count(w)) << w;
        }
        EXPECT_EQ(phrase.str().find("  "), std::string::npos);
    }
    EXPECT_EQ(Words(GeneratePassphrase(99, ProgramRandom())).size(),
              static_cast<std::size_t>(kMaxPassphraseWords));
    EXPECT_NE(GeneratePassphrase(kDefaultPassphraseWords, ProgramRandom()),
              GeneratePassphrase(kDefaultPassphraseWords, ProgramRandom()));
}

TEST(Passphrase, TheDefaultHoldsOver1000YearsForTheStatedAttacker) {
    // Its real strength, whatever an estimator makes of it: the count of
    // phrases, half of which an attacker tries on average.
    const double phrases = std::pow(7776.0, kDefaultPassphraseWords);
    const double seconds = phrases / 2 / (kAttackerCores * GuessesPerSecond());
    EXPECT_GT(seconds, 1000 * 365.25 * 86400);
    EXPECT_EQ(
        EstimateStrength(GeneratePassphrase(kDefaultPassphraseWords, ProgramRandom()).str(), 4e6)
            .band,
        StrengthBand::kStrong);
}

}  // namespace
}  // namespace tazu
