// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/NoticeDialog.h"

#include "dialogs/DialogRunner.h"
#include "support/StringTable.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace orva {

NoticeDialog::NoticeDialog(const StringTable &strings, int textId, QWidget *owner)
    : m_dialog(DialogTemplates::notice(), strings, owner)
{
    m_dialog.controlAs<QLabel>(kTextId)->setText(strings.text(textId).left(kMaxChars));
    m_dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    m_dialog.move(centredPosition());
}

QPoint NoticeDialog::centredPosition() const
{
    const QScreen *screen =
        m_dialog.screen() ? m_dialog.screen() : QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QSize size = m_dialog.size();
    return desktop.topLeft()
        + QPoint((desktop.width() - size.width()) / 2, (desktop.height() - size.height()) / 2);
}

void NoticeDialog::run(DialogRunner &runner)
{
    m_dialog.move(centredPosition());
    runner.run(m_dialog);
}

} // namespace orva
