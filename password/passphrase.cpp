#include "password/passphrase.h"

#include <algorithm>

namespace tazu {

// password/word_list.cpp, made from the list by the build.
extern const std::string_view kWordListText;

const std::vector<std::string_view>& PassphraseWords() {
    static const std::vector<std::string_view> words = [] {
        std::vector<std::string_view> list;
        std::string_view rest = kWordListText;
        while (!rest.empty()) {
            const std::size_t end = std::min(rest.find('\n'), rest.size());
            if (end > 0) {
                list.push_back(rest.substr(0, end));
            }
            rest.remove_prefix(std::min(end + 1, rest.size()));
        }
        return list;
    }();
    return words;
}

Str255 GeneratePassphrase(int count, Random& random) {
    const std::vector<std::string_view>& words = PassphraseWords();
    count = std::clamp(count, 1, kMaxPassphraseWords);
    Str255 phrase;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            phrase.push_back(' ');
        }
        const std::string_view word = words[random.Below(static_cast<std::uint32_t>(words.size()))];
        phrase.append(word.data(), word.size());
    }
    return phrase;
}

}  // namespace tazu
