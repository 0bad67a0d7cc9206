// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/MessageBoxes.h"

#include <QPointer>
#include <QWidget>

namespace orva {

/// Message boxes of the desktop, modal to `owner` (none: to the application).
class QtMessageBoxes final : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *owner = nullptr)
        : m_owner(owner)
    { }
    void setOwner(QWidget *owner) { m_owner = owner; }
    /// While the program is being ended by the desktop nobody is there to answer: boxes are then
    /// only logged and answered with OK, No or Cancel.
    void setQuiet(bool quiet) { m_quiet = quiet; }

    MessageAnswer show(const QString &title,
                       const QString &text,
                       MessageIcon icon,
                       MessageButtons buttons) override;

private:
    QPointer<QWidget> m_owner;
    bool m_quiet = false;
};

} // namespace orva
