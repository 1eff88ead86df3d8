// The stub's stand-ins for the command line's parts of the English
// catalogue: it never shows those texts.
#include "format/language.h"

namespace tazu {

extern const std::span<const TextPair> kEnglishCommandLineCatalogue;
const std::span<const TextPair> kEnglishCommandLineCatalogue;
extern const std::span<const TextPair> kEnglishHelpCatalogue;
const std::span<const TextPair> kEnglishHelpCatalogue;

}  // namespace tazu
