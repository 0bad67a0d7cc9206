// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"

#include <QBasicTimer>

#include <functional>
#include <memory>

namespace orva {

class Palette;
class StringTable;

/// The modeless dialog beside the instruction: its text, a progress bar of the recording and OK.
/// OK or closing the window tells its end handler once; the owner of the modeless slot deletes
/// it. UI thread only.
class InstructionDialog final : public TemplateDialog
{
public:
    static constexpr int kTextId = 1051;
    static constexpr int kProgressBarId = 1034;
    /// The dialog's timer that repaints the bar, and its period.
    static constexpr int kRepaintTimerId = 1035;
    static constexpr int kRepaintMs = 16;

    /// `progress` says how much of the recording has played, 0 … 1 (values outside are clamped);
    /// it is asked at every repaint. `strings` must outlive the dialog.
    InstructionDialog(const StringTable &strings,
                      std::function<double()> progress,
                      QWidget *owner = nullptr,
                      const QFont *font = nullptr);
    ~InstructionDialog() override;

    /// Called once, when OK or closing the window ends the dialog.
    void setEndHandler(std::function<void()> ended) { m_ended = std::move(ended); }

    /// The bar's window (control 1034).
    QWidget *progressBar() const;
    /// The bar's rectangle in the dialog: 20 pixels from the left and right, 20 high, its top 10
    /// pixels above the height the text takes from the bottom.
    QRect progressBarRect() const;
    /// The filled pixels from the left at the current progress.
    int filledWidth() const;
    bool isRepainting() const { return m_repaint.isActive(); }
    /// From now on the dialog asks and tells nothing: its owner ended it and only deletes it.
    void detach();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    class ProgressArea;

    void end();

    std::function<double()> m_progress;
    std::function<void()> m_ended;
    std::unique_ptr<Palette> m_palette;
    std::unique_ptr<ProgressArea> m_area;
    QBasicTimer m_repaint;
    bool m_hasEnded = false;
};

} // namespace orva
