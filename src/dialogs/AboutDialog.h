// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"

namespace orva {

class DialogRunner;

/// The About box: the program's version, its purpose and its maker. UI thread only.
class AboutDialog
{
public:
    static constexpr int kVersionId = 1040;

    explicit AboutDialog(const StringTable &strings, QWidget *owner = nullptr);

    TemplateDialog &dialog() { return m_dialog; }
    void run(DialogRunner &runner);

private:
    TemplateDialog m_dialog;
};

} // namespace orva
