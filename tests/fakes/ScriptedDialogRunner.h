// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/DialogRunner.h"
#include "fakes/RecordingMessageBoxes.h"

#include <QDialog>
#include <QList>
#include <QPushButton>

#include <functional>

namespace orva::test {

/// Runs modal dialogs headless: each dialog is shown and handed to the next script, which works
/// its controls and ends it (Return, a click on a button, reject()); without a script the default
/// button is clicked, as if the user pressed Return. A dialog the script leaves open is closed as
/// by the window's close button. Records each dialog's caption and answer; message boxes go to
/// `boxes`.
class ScriptedDialogRunner final : public DialogRunner
{
public:
    struct Run
    {
        QString title;
        int answer = QDialog::Rejected;
    };
    using Script = std::function<void(QDialog &dialog)>;

    int run(QDialog &dialog) override
    {
        dialog.setResult(QDialog::Rejected);
        dialog.show();
        if (!scripts.isEmpty()) {
            scripts.takeFirst()(dialog);
        } else {
            for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
                if (button->isDefault()) {
                    button->click();
                    break;
                }
            }
        }
        if (dialog.isVisible())
            dialog.reject();
        runs.append({ dialog.windowTitle(), dialog.result() });
        return dialog.result();
    }

    MessageAnswer show(const QString &title,
                       const QString &text,
                       MessageIcon icon,
                       MessageButtons buttons) override
    {
        return boxes.show(title, text, icon, buttons);
    }

    QList<Script> scripts; ///< used in order, one per dialog
    QList<Run> runs;
    RecordingMessageBoxes boxes;
};

} // namespace orva::test
