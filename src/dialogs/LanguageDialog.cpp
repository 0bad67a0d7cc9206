// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/LanguageDialog.h"

#include "dialogs/DialogRunner.h"
#include "support/StringTable.h"

#include <QComboBox>

namespace orva {

namespace {

/// The resource string naming material language `language`.
int nameId(int language)
{
    switch (language) {
    case 0:
        return 309;
    case 1:
        return 311;
    case 2:
        return 310;
    case 3:
        return 312;
    case 4:
        return 363;
    case 5:
        return 357;
    }
    return -1;
}

} // namespace

LanguageDialog::LanguageDialog(const StringTable &strings, int currentLanguage, QWidget *owner)
    : m_dialog(DialogTemplates::language(), strings, owner)
    , m_currentLanguage(currentLanguage)
{
    auto *list = m_dialog.controlAs<QComboBox>(kListId);
    for (int language : offeredLanguages())
        list->addItem(strings.text(nameId(language)), language);
    // A language the list does not offer (the Spanish material) opens on the first entry.
    list->setCurrentIndex(std::max(0, list->findData(currentLanguage)));
}

QList<int> LanguageDialog::offeredLanguages()
{
    return { 0, 1, 2, 4, 5 };
}

int LanguageDialog::selectedLanguage() const
{
    const auto *list = m_dialog.controlAs<QComboBox>(kListId);
    if (list->currentIndex() < 0)
        return m_currentLanguage;
    return list->currentData().toInt();
}

LanguageChoice LanguageDialog::run(DialogRunner &runner)
{
    LanguageChoice choice;
    choice.accepted = runner.run(m_dialog) == QDialog::Accepted;
    choice.language = choice.accepted ? selectedLanguage() : m_currentLanguage;
    return choice;
}

} // namespace orva
