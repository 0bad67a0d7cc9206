// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"

namespace orva {

class DialogRunner;

/// What the language dialog returns: the material language to apply. On Abbrechen it is the
/// language the dialog was opened with; the caller applies it either way.
struct LanguageChoice
{
    bool accepted = false;
    int language = 0;
};

/// The language of the syllable material for tests and training: German, English US, English
/// UK, French and Polish (the Spanish material is not offered). UI thread only.
class LanguageDialog
{
public:
    static constexpr int kListId = 32840;

    LanguageDialog(const StringTable &strings, int currentLanguage, QWidget *owner = nullptr);

    TemplateDialog &dialog() { return m_dialog; }
    /// The language of the selected entry; the opening language when none is selected.
    int selectedLanguage() const;
    LanguageChoice run(DialogRunner &runner);

    /// The offered language indexes, in the list's order.
    static QList<int> offeredLanguages();

private:
    TemplateDialog m_dialog;
    int m_currentLanguage = 0;
};

} // namespace orva
