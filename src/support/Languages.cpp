// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Languages.h"

namespace orva {

namespace {
constexpr const char *kCodes[NoLanguage] = { "de_de", "en_us", "en_uk", "es_es", "fr_fr", "pl_pl" };
}

QString languageCode(int language)
{
    return isLanguage(language) ? QString::fromLatin1(kCodes[language]) : QString();
}

QString upperLanguageCode(int language)
{
    return languageCode(language).toUpper();
}

Language languageFromCode(const QString &code)
{
    const QString value = code.trimmed();
    for (int language = DE_DE; language < NoLanguage; ++language) {
        if (value.compare(QLatin1String(kCodes[language]), Qt::CaseInsensitive) == 0)
            return Language(language);
    }
    return DE_DE;
}

} // namespace orva
