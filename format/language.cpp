#include "format/language.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tazu {

// The English catalogue comes in parts: the texts of the engines, the
// terminal and the stub, and those of the command line (empty in the stub,
// which never shows them).
extern const std::span<const TextPair> kEnglishCatalogue;
extern const std::span<const TextPair> kEnglishCommandLineCatalogue;
extern const std::span<const TextPair> kEnglishHelpCatalogue;

namespace {

using CatalogueParts = std::array<const std::span<const TextPair>*, 3>;

struct LanguageEntry {
    Language language;
    std::string_view code;
    CatalogueParts parts;  // all null: the source language
};

// The languages the program speaks; the first is the one of the source
// texts and of the "C" locale.
const LanguageEntry kLanguages[] = {
    {Language::kRussian, "ru", {}},
    {Language::kEnglish,
     "en",
     {&kEnglishCatalogue, &kEnglishCommandLineCatalogue, &kEnglishHelpCatalogue}},
};

// A language's catalogue, its parts joined once.
std::span<const TextPair> Joined(const LanguageEntry& entry) {
    static std::array<std::vector<TextPair>, std::size(kLanguages)> joined;
    static const bool once = [] {
        for (std::size_t i = 0; i < std::size(kLanguages); ++i) {
            for (const std::span<const TextPair>* part : kLanguages[i].parts) {
                if (part != nullptr) {
                    joined[i].insert(joined[i].end(), part->begin(), part->end());
                }
            }
        }
        return true;
    }();
    (void)once;
    return joined[static_cast<std::size_t>(&entry - kLanguages)];
}

Language g_language = Language::kRussian;

const char* NonEmpty(const char* value) {
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// The language code of a locale or LANGUAGE entry: "ru" of "ru_RU.UTF-8".
std::string_view CodeOf(std::string_view name) {
    return name.substr(0, name.find_first_of("_.@"));
}

const LanguageEntry* Find(std::string_view name) {
    const std::string_view code = CodeOf(name);
    for (const LanguageEntry& entry : kLanguages) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

std::span<const Language> Languages() {
    static const auto list = [] {
        std::array<Language, std::size(kLanguages)> languages{};
        for (std::size_t i = 0; i < languages.size(); ++i) {
            languages[i] = kLanguages[i].language;
        }
        return languages;
    }();
    return list;
}

std::string_view LanguageCode(Language language) {
    for (const LanguageEntry& entry : kLanguages) {
        if (entry.language == language) {
            return entry.code;
        }
    }
    return kLanguages[0].code;
}

Language ChooseLanguage(const char* language, const char* lc_all, const char* lc_messages,
                        const char* lang) {
    const char* locale = NonEmpty(lc_all);
    locale = locale != nullptr ? locale : NonEmpty(lc_messages);
    locale = locale != nullptr ? locale : NonEmpty(lang);
    const std::string_view name = locale != nullptr ? locale : "C";
    if (CodeOf(name) == "C" || name == "POSIX") {
        return kLanguages[0].language;
    }
    // LANGUAGE, where set, lists languages by preference; the first the
    // program speaks wins, as gettext chooses.
    std::string_view list = NonEmpty(language) != nullptr ? language : "";
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (const LanguageEntry* entry = Find(list.substr(0, colon))) {
            return entry->language;
        }
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    if (const LanguageEntry* entry = Find(name)) {
        return entry->language;
    }
    return Language::kEnglish;
}

Language LanguageFromEnvironment() {
    return ChooseLanguage(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                          std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

void SetLanguage(Language language) {
    g_language = language;
}

Language CurrentLanguage() {
    return g_language;
}

std::span<const TextPair> Catalogue(Language language) {
    for (const LanguageEntry& entry : kLanguages) {
        if (entry.language == language) {
            return Joined(entry);
        }
    }
    return {};
}

std::string_view Tr(std::string_view source) {
    for (const TextPair& pair : Catalogue(g_language)) {
        if (pair.source == source) {
            return pair.translation;
        }
    }
    return source;
}

std::string TrFill(std::string_view source, std::initializer_list<std::string_view> values) {
    return FillIn(Tr(source), values);
}

std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string out;
    std::size_t from = 0;
    for (const std::string_view value : values) {
        const std::size_t at = text.find("{}", from);
        if (at == std::string_view::npos) {
            break;
        }
        out.append(text.substr(from, at - from)).append(value);
        from = at + 2;
    }
    return out.append(text.substr(from));
}

}  // namespace tazu
