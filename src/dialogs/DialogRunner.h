// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/MessageBoxes.h"

class QDialog;

namespace orva {

/// Runs the program's modal dialogs and message boxes: the desktop shows them, tests drive them
/// headless and record what was asked and answered. UI thread only.
class DialogRunner : public MessageBoxes
{
public:
    /// Runs `dialog` modally; returns QDialog::Accepted or QDialog::Rejected. The dialog stays
    /// the caller's.
    virtual int run(QDialog &dialog) = 0;
};

} // namespace orva
