// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

/// Material languages; the same numbering serves the user-interface language.
enum Language : int {
    DE_DE = 0,
    EN_US = 1,
    EN_UK = 2,
    ES_ES = 3,
    FR_FR = 4,
    PL_PL = 5,
    NoLanguage = 6,
};

/// "de_de" … "pl_pl" for 0 … 5 (the folder names of the material, the texts and the help);
/// empty otherwise.
QString languageCode(int language);
/// "DE_DE" … "PL_PL" for 0 … 5; empty otherwise.
QString upperLanguageCode(int language);
/// The language whose code is `code`, in either case and with blanks around it; German for a
/// code that names none.
Language languageFromCode(const QString &code);
/// True for 0 … 5.
constexpr bool isLanguage(int language)
{
    return language >= DE_DE && language < NoLanguage;
}

} // namespace orva
