// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/InstructionDialog.h"

#include "dialogs/GraphicPaintDC.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"

#include <QTimerEvent>

#include <algorithm>

namespace orva {

namespace {

constexpr int kBarMargin = 20;
constexpr int kBarHeight = 20;
constexpr int kBarGapAboveText = 10;

} // namespace

/// The bar: the played part filled from the left, the rest in the background colour.
class InstructionDialog::ProgressArea final : public GraphicPaintDC
{
public:
    ProgressArea(Palette &palette, const InstructionDialog &dialog)
        : GraphicPaintDC(palette)
        , m_dialog(dialog)
    { }

    void paint(DrawingSurface &surface) override
    {
        const int filled = m_dialog.filledWidth();
        surface.fillRect(Palette::kHighlight, false, false, QRect(0, 0, filled, height()));
        surface.fillRect(Palette::kLight3D, false, false,
                         QRect(filled, 0, width() - filled, height()));
    }

private:
    const InstructionDialog &m_dialog;
};

InstructionDialog::InstructionDialog(const StringTable &strings,
                                     std::function<double()> progress,
                                     QWidget *owner,
                                     const QFont *font)
    : TemplateDialog(DialogTemplates::instruction(), strings, owner, font)
    , m_progress(std::move(progress))
    , m_palette(std::make_unique<Palette>(palette()))
{
    m_area = std::make_unique<ProgressArea>(*m_palette, *this);
    m_area->setRect(progressBarRect());
    m_area->create(this, kProgressBarId, -1, true);
    // OK (accept), Escape and the window's close button (reject) all end the instruction.
    connect(this, &QDialog::finished, this, [this] { end(); });
    m_repaint.start(kRepaintMs, this);
}

InstructionDialog::~InstructionDialog() = default;

QWidget *InstructionDialog::progressBar() const
{
    return m_area->window();
}

QRect InstructionDialog::progressBarRect() const
{
    const QWidget *text = control(kTextId);
    const int textHeight = text ? text->height() : 0;
    return QRect(kBarMargin, height() - textHeight - kBarGapAboveText,
                 std::max(0, width() - 2 * kBarMargin), kBarHeight);
}

int InstructionDialog::filledWidth() const
{
    const double fraction = m_progress ? std::clamp(m_progress(), 0.0, 1.0) : 0.0;
    return static_cast<int>(m_area->width() * fraction);
}

void InstructionDialog::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_repaint.timerId()) {
        if (QWidget *bar = progressBar())
            bar->update();
        return;
    }
    TemplateDialog::timerEvent(event);
}

void InstructionDialog::detach()
{
    m_repaint.stop();
    m_hasEnded = true;
    m_ended = nullptr;
    m_progress = nullptr;
}

void InstructionDialog::end()
{
    m_repaint.stop();
    if (m_hasEnded)
        return;
    m_hasEnded = true;
    if (m_ended)
        m_ended();
}

} // namespace orva
