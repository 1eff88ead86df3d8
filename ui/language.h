// The windows' language: Qt's catalogue of the language chosen for the
// program (format/language.h), installed before any window is made.
#pragma once

#include "format/language.h"

namespace tazu {

// Chooses the language from the environment for the engines' texts and
// installs the windows' catalogue for it (none for Russian, the language of
// the source texts). Returns the language chosen.
Language UseEnvironmentLanguage();

// Installs the windows' catalogue of language, replacing one installed
// before; Russian removes it. Returns false when the catalogue is missing.
bool InstallWindowTexts(Language language);

}  // namespace tazu
