// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ClientFields.h"

#include "engine/ORVA_Experiment.h"
#include "mainwindow/ChildWindows.h"
#include "mainwindow/ClientFieldRules.h"
#include "mainwindow/CommandRules.h"
#include "mainwindow/MainWindowLayout.h"
#include "support/TextIds.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>

namespace orva {

ClientFields::ClientFields(ORVA_Experiment &experiment)
    : m_experiment(experiment)
{ }

void ClientFields::create(QWidget *canvas, QObject *watcher)
{
    const auto field = [&](int id) {
        auto *edit = new QLineEdit(canvas);
        edit->setObjectName(QStringLiteral("field%1").arg(id));
        edit->installEventFilter(watcher);
        return edit;
    };
    m_firstName = field(kFirstNameId);
    m_lastName = field(kLastNameId);
    m_birthday = field(kBirthdayId);
    m_birthday->setAlignment(Qt::AlignCenter);
    for (QLineEdit *name : { m_firstName.data(), m_lastName.data() })
        name->setMaxLength(128);
    QObject::connect(m_firstName, &QLineEdit::textEdited, canvas,
                     [this](const QString &text) { nameEdited(true, text); });
    QObject::connect(m_lastName, &QLineEdit::textEdited, canvas,
                     [this](const QString &text) { nameEdited(false, text); });
    m_comment = new QPlainTextEdit(canvas);
    m_comment->setObjectName(QStringLiteral("comment"));
    m_comment->setTabChangesFocus(true);
    m_comment->installEventFilter(watcher);
}

QWidget *ClientFields::field(int id) const
{
    switch (id) {
    case kFirstNameId:
        return m_firstName;
    case kLastNameId:
        return m_lastName;
    case kBirthdayId:
        return m_birthday;
    case kCommentId:
        return m_comment;
    default:
        return nullptr;
    }
}

std::vector<std::pair<QWidget *, int>> ClientFields::toolTips() const
{
    return { { m_firstName, Text::kFirstNameTip },
             { m_lastName, Text::kLastNameTip },
             { m_birthday, Text::kBirthdayTip },
             { m_comment, Text::kCommentTip } };
}

void ClientFields::move(const MainWindowLayout &layout)
{
    if (!m_firstName)
        return;
    m_firstName->setGeometry(layout.firstName);
    m_lastName->setGeometry(layout.lastName);
    m_birthday->setGeometry(layout.birthday);
    m_comment->setGeometry(layout.comment);
}

void ClientFields::show(int uiLanguage)
{
    const ORVA_Proband &client = m_experiment.client();
    // The program's own setting of the texts is no input of the operator.
    m_isInput = false;
    if (m_birthday)
        m_birthday->setText(client.birthdayText(uiLanguage));
    if (m_firstName)
        m_firstName->setText(client.firstName().value_or(QString()));
    if (m_lastName)
        m_lastName->setText(client.lastName().value_or(QString()));
    if (m_comment)
        m_comment->setPlainText(m_experiment.comment());
    m_isInput = false;
}

void ClientFields::storeComment()
{
    if (m_comment)
        m_experiment.setComment(m_comment->toPlainText());
}

void ClientFields::appendComment(const QString &note)
{
    if (m_comment)
        m_comment->appendPlainText(note);
}

void ClientFields::nameEdited(bool firstName, const QString &text)
{
    // Only typed or pasted text counts; the program's own setting of the text sets no input flag.
    if (!m_isInput)
        return;
    if (firstName)
        m_experiment.client().setFirstName(text);
    else
        m_experiment.client().setLastName(text);
    m_isInput = false;
}

bool ClientFields::keyPress(QObject *field, QKeyEvent *event, int uiLanguage)
{
    if (field == m_firstName || field == m_lastName) {
        const QString text = event->text();
        if (text.size() != 1 || event->key() == Qt::Key_Backspace || !text.at(0).isPrint())
            return false; // editing keys keep their behaviour
        return !isNameCharacter(text.at(0));
    }
    if (field != m_birthday)
        return false;
    const BirthdayMask mask(uiLanguage);
    const QString current = m_birthday->text();
    int start = m_birthday->cursorPosition();
    int end = start;
    if (m_birthday->hasSelectedText()) {
        start = m_birthday->selectionStart();
        end = m_birthday->selectionEnd();
    }
    MaskedText edited;
    if (event->key() == Qt::Key_Backspace) {
        edited = mask.backspace(current, start, end);
    } else if (event->key() == Qt::Key_Delete) {
        edited = mask.deleteSelection(current, start, end);
    } else if (event->text().size() == 1 && event->text().at(0).isDigit()) {
        edited = mask.typeDigit(current, start, end, event->text().at(0));
    } else if (event->text().size() == 1 && event->text().at(0).isPrint()) {
        return true; // the mask takes digits only
    } else {
        return false; // arrows, Home, End
    }
    m_birthday->setText(edited.text);
    m_birthday->setCursorPosition(edited.caret);
    m_experiment.client().birthday() = mask.read(edited.text);
    m_isInput = false;
    return true;
}

void ClientFields::moveFocus(bool backwards, QSlider *slider)
{
    QWidget *order[] = { m_lastName, m_firstName, m_birthday, slider, m_comment };
    constexpr int count = int(std::size(order));
    int focused = -1;
    for (int i = 0; i < count; ++i) {
        if (order[i] && order[i]->hasFocus())
            focused = i;
    }
    const int next = nextInTabOrder(focused, count, backwards,
                                    [&](int i) { return order[i] && order[i]->isVisible(); });
    if (next >= 0 && order[next])
        order[next]->setFocus(Qt::TabFocusReason);
}

} // namespace orva
