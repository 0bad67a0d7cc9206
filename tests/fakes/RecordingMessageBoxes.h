// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/MessageBoxes.h"

#include <QList>

namespace orva::test {

/// Records every box the code under test shows and answers from a script (default: the first
/// button of the box, as if the user pressed Enter).
class RecordingMessageBoxes final : public MessageBoxes
{
public:
    struct Box
    {
        QString title;
        QString text;
        MessageIcon icon;
        MessageButtons buttons;
        MessageAnswer answer = MessageAnswer::Ok; ///< what the box returned
    };

    MessageAnswer show(const QString &title,
                       const QString &text,
                       MessageIcon icon,
                       MessageButtons buttons) override
    {
        boxes.append({ title, text, icon, buttons, MessageAnswer::Ok });
        boxes.last().answer = answer(buttons);
        return boxes.last().answer;
    }

    QList<Box> boxes;
    QList<MessageAnswer> answers; ///< answers given in order; the default once it runs out

private:
    MessageAnswer answer(MessageButtons buttons)
    {
        if (!answers.isEmpty())
            return answers.takeFirst();
        switch (buttons) {
        case MessageButtons::Ok:
        case MessageButtons::OkCancel:
            return MessageAnswer::Ok;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Yes;
        }
        return MessageAnswer::Ok;
    }
};

} // namespace orva::test
