// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

enum class MessageIcon { None, Error, Question, Information, Warning };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

/// Modal message boxes. The core asks through this interface; the user interface shows real
/// boxes, tests record the requests and give scripted answers. Called on the UI thread only.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    /// Shows the box and returns after it was closed, with the button the user chose.
    virtual MessageAnswer
    show(const QString &title, const QString &text, MessageIcon icon, MessageButtons buttons) = 0;
};

} // namespace orva
