// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/GraphicDC.h"

#include "support/ErrorReport.h"

#include <QFrame>

namespace orva {

GraphicDC::~GraphicDC() = default;

void GraphicDC::move()
{
    if (!m_window)
        return;
    m_window->setGeometry(m_rect);
    makeBackBuffer();
}

void GraphicDC::paint(DrawingSurface &)
{ }

void GraphicDC::bind(QWidget *window)
{
    m_window = window;
    makeBackBuffer();
}

QWidget *GraphicDC::create(QWidget *parent, int id, int toolTipId, bool border)
{
    m_id = id;
    m_toolTipId = toolTipId;
    m_border = border;
    QWidget *window = makeWindow(parent);
    if (auto *frame = qobject_cast<QFrame *>(window))
        frame->setFrameStyle(border ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
    window->setGeometry(m_rect);
    window->show();
    bind(window);
    return window;
}

QWidget *GraphicDC::makeWindow(QWidget *parent)
{
    return new QFrame(parent);
}

void GraphicDC::makeBackBuffer()
{
    auto buffer = std::make_unique<CPaintBitmap>();
    if (!m_window || !buffer->create(m_window)) {
        if (m_window)
            reportError("Out of memory 002", 1, false);
        m_backBuffer.reset();
        return;
    }
    m_backBuffer = std::move(buffer);
}

} // namespace orva
