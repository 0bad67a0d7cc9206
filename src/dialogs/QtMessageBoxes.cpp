// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/QtMessageBoxes.h"

#include "support/Logger.h"

#include <QMessageBox>

namespace orva {

MessageAnswer QtMessageBoxes::show(const QString &title,
                                   const QString &text,
                                   MessageIcon icon,
                                   MessageButtons buttons)
{
    if (m_quiet) {
        logMessage(1, QStringLiteral("   box not shown: %1: %2\n").arg(title, text));
        if (buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    }
    QMessageBox box(m_owner);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MessageIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::None:
        break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        // Closing an OK box, or the window of a box with Cancel, counts as its default answer.
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
}

} // namespace orva
