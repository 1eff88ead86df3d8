// The language the program speaks. Every text a user reads is written once,
// in its source language, and wrapped in Tr(); Tr() looks the text up in the
// catalogue of the chosen language and gives the source text back where the
// catalogue has none (so Russian, the source of the engines' texts, needs no
// catalogue of its own for them).
//
// The choice is made once, at start-up, before any text is shown:
//     SetLanguage(LanguageFromEnvironment());
// It changes only what is shown; nothing stored depends on it.
//
// Adding a language: an enum value and its line in kLanguages
// (format/language.cpp), and one catalogue file beside catalogue_en.cpp.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace tazu {

enum class Language { kRussian, kEnglish };

// One entry of a catalogue: a source text and its translation.
struct TextPair {
    std::string_view source;
    std::string_view translation;
};

// Every language the program speaks, the source language first.
std::span<const Language> Languages();

// The language's two-letter code ("ru", "en").
std::string_view LanguageCode(Language language);

// The language the environment asks for, as Linux programs decide it: the
// locale of messages is the first set of LC_ALL, LC_MESSAGES and LANG;
// "C", "POSIX" and no locale at all mean Russian; otherwise the first entry
// of LANGUAGE (a colon-separated list) or of the locale that names a
// language the program has decides, and any other language means English.
Language ChooseLanguage(const char* language, const char* lc_all, const char* lc_messages,
                        const char* lang);
Language LanguageFromEnvironment();

// The language Tr() translates into (Russian until set).
void SetLanguage(Language language);
Language CurrentLanguage();

// The catalogue of a language (empty for Russian).
std::span<const TextPair> Catalogue(Language language);

// The text in the current language. Source texts are string literals, so
// the view stays valid for the program's life.
std::string_view Tr(std::string_view source);

// text with each "{}" in it replaced by the next of values, in order.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values);

// The text in the current language, filled in (a translation may move words
// around the "{}", never reorder the values).
std::string TrFill(std::string_view source, std::initializer_list<std::string_view> values);

// Marks a source text that is translated later through Tr(), where it is
// kept in a constant first.
constexpr std::string_view TextKey(std::string_view source) {
    return source;
}

}  // namespace tazu
