#include "ui/language.h"

#include <QCoreApplication>
#include <QString>
#include <QTranslator>
#include <memory>

namespace tazu {

namespace {

std::unique_ptr<QTranslator>& Installed() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

}  // namespace

bool InstallWindowTexts(Language language) {
    std::unique_ptr<QTranslator>& installed = Installed();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (language == Language::kRussian) {
        return true;
    }
    // The catalogues are built into the program (translations/).
    auto translator = std::make_unique<QTranslator>();
    const QString code = QString::fromLatin1(LanguageCode(language));
    if (!translator->load(QStringLiteral(":/i18n/tazu16x32_") + code)) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

Language UseEnvironmentLanguage() {
    const Language language = LanguageFromEnvironment();
    SetLanguage(language);
    InstallWindowTexts(language);
    return language;
}

}  // namespace tazu
