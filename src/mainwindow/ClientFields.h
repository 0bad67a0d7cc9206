// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>

#include <vector>

class QKeyEvent;
class QLineEdit;
class QObject;
class QPlainTextEdit;
class QSlider;
class QWidget;

namespace orva {

class ORVA_Experiment;
struct MainWindowLayout;

/// The entry fields of the main window: the client's last and first name and birthday, and the
/// run's comment. What is typed goes into the run model's client record as it is typed; the
/// names keep to the name characters and the birthday to its mask. UI thread only.
class ClientFields
{
public:
    explicit ClientFields(ORVA_Experiment &experiment);

    /// Makes the fields on `canvas`; `watcher` sees their keys first.
    void create(QWidget *canvas, QObject *watcher);
    /// The field with `id` (first name, last name, birthday, comment); null for another id.
    QWidget *field(int id) const;
    /// Each field with the resource string of its tool tip.
    std::vector<std::pair<QWidget *, int>> toolTips() const;
    void move(const MainWindowLayout &layout);

    /// The client record's names, birthday and the run's comment into their fields.
    void show(int uiLanguage);
    /// The comment field into the run model.
    void storeComment();
    /// A note of the program below the comment; what the operator typed stays in front of it.
    void appendComment(const QString &note);
    /// A key reached the program from the operator: the next text change is typed input.
    void markInput() { m_isInput = true; }
    void clearInput() { m_isInput = false; }
    /// A key the key map left to `field`: the name filters and the birthday mask. True when the
    /// field must not see it.
    bool keyPress(QObject *field, QKeyEvent *event, int uiLanguage);
    /// Tab and Shift+Tab: the next field of the program's own order (last name, first name,
    /// birthday, `slider`, comment), from wherever the focus is.
    void moveFocus(bool backwards, QSlider *slider);

private:
    void nameEdited(bool firstName, const QString &text);

    ORVA_Experiment &m_experiment;
    bool m_isInput = false;
    QPointer<QLineEdit> m_firstName;
    QPointer<QLineEdit> m_lastName;
    QPointer<QLineEdit> m_birthday;
    QPointer<QPlainTextEdit> m_comment;
};

} // namespace orva
