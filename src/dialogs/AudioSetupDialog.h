// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"
#include "engine/AudioSetupWizard.h"

#include <functional>
#include <memory>

class QLabel;

namespace orva {

class StringTable;

/// The audio set-up wizard's window: the step text, the five buttons and the sound card picture.
/// It shows what the wizard's logic hands it and forwards the buttons to the handlers; OK,
/// Abbrechen, Escape and the window's close button all end it through the end handler, once.
/// The owner of the modeless slot deletes it. UI thread only.
class AudioSetupDialog final : public TemplateDialog
{
public:
    static constexpr int kTextId = 1113;
    static constexpr int kBackId = 1112;
    static constexpr int kNextId = 1110;
    static constexpr int kPlayId = 1115;
    static constexpr int kLatencyTestId = 1116;
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 2;

    struct Handlers
    {
        std::function<void()> next;
        std::function<void()> back;
        std::function<void()> play;
        std::function<void()> latencyTest;
        /// OK, Abbrechen, Escape or the close button; called at most once.
        std::function<void()> ended;
    };

    /// `strings` must outlive the dialog; `language` is the user-interface language, which
    /// decides the picture's height.
    AudioSetupDialog(const StringTable &strings,
                     int language,
                     Handlers handlers,
                     QWidget *owner = nullptr,
                     const QFont *font = nullptr);
    ~AudioSetupDialog() override;

    /// Shows `step`'s text, buttons and picture.
    void showStep(const AudioSetupWizard::Step &step);
    /// The picture's window; hidden except at the step that has it.
    QWidget *picture() const;
    /// From now on the dialog tells nothing: its owner ended it and only deletes it.
    void detach();

private:
    class PictureArea;

    void end();

    const StringTable &m_strings;
    Handlers m_handlers;
    PictureArea *m_picture = nullptr; // a child of the dialog
    bool m_hasEnded = false;
};

} // namespace orva
