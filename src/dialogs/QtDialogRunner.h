// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/DialogRunner.h"
#include "dialogs/QtMessageBoxes.h"

namespace orva {

/// Modal dialogs and message boxes of the desktop, modal to `owner`.
class QtDialogRunner final : public DialogRunner
{
public:
    explicit QtDialogRunner(QWidget *owner = nullptr)
        : m_boxes(owner)
    { }

    /// The message boxes, to set their owner or make them quiet.
    QtMessageBoxes &boxes() { return m_boxes; }

    int run(QDialog &dialog) override;
    MessageAnswer show(const QString &title,
                       const QString &text,
                       MessageIcon icon,
                       MessageButtons buttons) override
    {
        return m_boxes.show(title, text, icon, buttons);
    }

private:
    QtMessageBoxes m_boxes;
};

} // namespace orva
