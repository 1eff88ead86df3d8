// Passwords typed in Russian as the estimator can judge them. zxcvbn knows
// single-byte Latin text only: it would count every byte of a UTF-8 letter
// as a random character from a large alphabet, and rate "пароль" far above
// "password". Each Cyrillic letter becomes the Latin key it shares on the
// keyboard (ЙЦУКЕН over QWERTY: "йцукен" is "qwerty", "пароль" is "gfhjkm",
// both well known to attackers), and any other letter outside ASCII one
// lower-case Latin letter.
#pragma once

#include <cstddef>
#include <string_view>

namespace tazu {

// Writes the Latin form of text to out (never longer than text) and returns
// its length.
std::size_t KeyboardLatin(std::string_view text, char* out);

}  // namespace tazu
