// The language choice and the engines' catalogues: which language an
// environment asks for, every text marked in the sources has its
// translation, and English output holds no Russian.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "decrypt/decrypt_host.h"
#include "decrypt/decrypt_messages.h"
#include "decrypt/result_code.h"
#include "encrypt/encrypt_messages.h"
#include "format/language.h"
#include "keystore/keystore_file.h"
#include "tests/support/test_files.h"

namespace tazu {
namespace {

namespace fs = std::filesystem;

using test::HasCyrillic;

TEST(LanguageChoice, FollowsTheLocaleAsGettextDoes) {
    const auto ru = Language::kRussian;
    const auto en = Language::kEnglish;
    EXPECT_EQ(ChooseLanguage(nullptr, nullptr, nullptr, nullptr), ru);
    EXPECT_EQ(ChooseLanguage("", "", "", "C"), ru);
    EXPECT_EQ(ChooseLanguage(nullptr, nullptr, nullptr, "C.UTF-8"), ru);
    EXPECT_EQ(ChooseLanguage(nullptr, "POSIX", nullptr, "en_US.UTF-8"), ru);
    // LANGUAGE counts only outside the C locale.
    EXPECT_EQ(ChooseLanguage("en", nullptr, nullptr, "C"), ru);
    EXPECT_EQ(ChooseLanguage(nullptr, nullptr, nullptr, "ru_RU.UTF-8"), ru);
    EXPECT_EQ(ChooseLanguage(nullptr, nullptr, nullptr, "en_US.UTF-8"), en);
    EXPECT_EQ(ChooseLanguage(nullptr, nullptr, nullptr, "de_DE.UTF-8"), en);
    // LC_ALL before LC_MESSAGES before LANG.
    EXPECT_EQ(ChooseLanguage(nullptr, "en_GB.UTF-8", "ru_RU", "ru_RU"), en);
    EXPECT_EQ(ChooseLanguage(nullptr, nullptr, "ru_RU.UTF-8", "en_US"), ru);
    // LANGUAGE: the first language the program speaks wins.
    EXPECT_EQ(ChooseLanguage("ru:en", nullptr, nullptr, "en_US.UTF-8"), ru);
    EXPECT_EQ(ChooseLanguage("de:fr:ru", nullptr, nullptr, "en_US.UTF-8"), ru);
    EXPECT_EQ(ChooseLanguage("en_GB:ru", nullptr, nullptr, "ru_RU.UTF-8"), en);
    EXPECT_EQ(ChooseLanguage("de", nullptr, nullptr, "de_DE.UTF-8"), en);
    EXPECT_EQ(LanguageCode(ru), "ru");
    EXPECT_EQ(LanguageCode(en), "en");
}

// A C string literal's text: the escapes the sources use.
std::string Unescape(const std::string& literal) {
    std::string text;
    for (std::size_t i = 0; i < literal.size(); ++i) {
        if (literal[i] == '\\' && i + 1 < literal.size()) {
            const char next = literal[++i];
            text += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            text += literal[i];
        }
    }
    return text;
}

// The text of the string literals (adjacent ones joined) that begin at
// from, up to the closing parenthesis or the comma before TrFill's values;
// empty when something else is there.
std::string LiteralsAt(const std::string& s, std::size_t at) {
    std::string text;
    for (;;) {
        at = s.find_first_not_of(" \t\n", at);
        if (at == std::string::npos || s[at] != '"') {
            return at != std::string::npos && (s[at] == ')' || s[at] == ',') ? text : std::string();
        }
        std::size_t end = at + 1;
        while (end < s.size() && s[end] != '"') {
            end += s[end] == '\\' ? 2 : 1;
        }
        text += Unescape(s.substr(at + 1, end - at - 1));
        at = end + 1;
    }
}

// Every text the sources mark with Tr("..."), TrFill("...", ...) or
// TextKey("...").
std::set<std::string> MarkedTexts() {
    std::set<std::string> texts;
    for (const char* dir : {"format", "io", "password", "encrypt", "decrypt", "keystore",
                            "terminal", "cli", "stub", "ui", "app"}) {
        for (const auto& file : fs::directory_iterator(fs::path(TAZU_SOURCE_DIR) / dir)) {
            std::ifstream in(file.path());
            std::stringstream content;
            content << in.rdbuf();
            const std::string s = content.str();
            for (const std::string marker : {"Tr(", "TrFill(", "TextKey("}) {
                for (std::size_t at = s.find(marker); at != std::string::npos;
                     at = s.find(marker, at + 1)) {
                    const bool word_start =
                        at == 0 ||
                        !(std::isalnum(static_cast<unsigned char>(s[at - 1])) || s[at - 1] == '_');
                    const std::string text = word_start ? LiteralsAt(s, at + marker.size()) : "";
                    if (!text.empty()) {
                        texts.insert(text);
                    }
                }
            }
        }
    }
    return texts;
}

TEST(EngineCatalogues, EveryMarkedTextHasItsTranslationAndNoneIsStale) {
    const std::set<std::string> marked = MarkedTexts();
    ASSERT_GT(marked.size(), 30u);
    ASSERT_EQ(Languages().front(), Language::kRussian);
    EXPECT_TRUE(Catalogue(Language::kRussian).empty());  // the source language
    for (const Language language : Languages().subspan(1)) {
        SCOPED_TRACE(std::string(LanguageCode(language)));
        std::set<std::string> sources;
        for (const TextPair& pair : Catalogue(language)) {
            EXPECT_TRUE(sources.insert(std::string(pair.source)).second)
                << "twice: " << pair.source;
            EXPECT_FALSE(HasCyrillic(pair.translation)) << pair.translation;
            EXPECT_FALSE(pair.translation.empty()) << pair.source;
            EXPECT_TRUE(marked.count(std::string(pair.source)))
                << "no longer used: " << pair.source;
        }
        for (const std::string& text : marked) {
            EXPECT_TRUE(sources.count(text)) << "no translation for: " << text;
        }
    }
}

class EnglishTexts : public ::testing::Test {
  protected:
    void SetUp() override { SetLanguage(Language::kEnglish); }
    void TearDown() override { SetLanguage(Language::kRussian); }
};

TEST_F(EnglishTexts, MessagesAndReportLinesAreEnglish) {
    for (int code = 0; code <= static_cast<int>(DecryptCode::kAborted); ++code) {
        EXPECT_FALSE(HasCyrillic(DecryptCodeMessage(static_cast<DecryptCode>(code)))) << code;
    }
    EXPECT_EQ(DecryptCodeMessage(DecryptCode::kWrongPassword), "Wrong password");
    EXPECT_EQ(EncryptOutcomeText(true, EncryptCode::kOk), "Encryption completed successfully");
    EXPECT_EQ(ReadErrorReportLine("a.txt"), "-) File: a.txt - skipped, read error.");
    EXPECT_EQ(DamagedBlocksReportLine(Tr(kOldFileLinePrefix), "b", 3),
              "File: b - damaged (blocks: 3).");
    EXPECT_EQ(ExistsReportLine(Tr(kFileLinePrefix), "c"), "-) File: c - skipped, already exists");
    EXPECT_EQ(InvalidNameReportLine("d"), "-) File: d - skipped, invalid name");
    EXPECT_EQ(SaveCodeText(KeyStoreSaveCode::kOk), "Key store saved");
    EXPECT_EQ(LoadCodeText(KeyStoreLoadCode::kDamaged), "the key store is damaged");
    std::string indicator;
    UpdatePersonalCodeIndicator(indicator, true);
    EXPECT_EQ(indicator, "Yes");
    UpdatePersonalCodeIndicator(indicator, false);
    EXPECT_EQ(indicator, "Yes / No");
}

TEST(RussianTexts, StayAsTheyAreUntilAnotherLanguageIsChosen) {
    ASSERT_EQ(CurrentLanguage(), Language::kRussian);
    EXPECT_EQ(ReadErrorReportLine("a.txt"), "-) Файл: a.txt- пропущен, ошибка чтения.");
    EXPECT_EQ(DamagedBlocksReportLine(Tr(kOldFileLinePrefix), "b", 3),
              "Файл: b - поврежден (блоков: 3 ).");
    EXPECT_EQ(EncryptOutcomeText(true, EncryptCode::kOk), "Шифровывание успешно завершено");
}

}  // namespace
}  // namespace tazu
