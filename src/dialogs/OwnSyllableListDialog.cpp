// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/OwnSyllableListDialog.h"

#include "dialogs/DialogRunner.h"
#include "engine/ORVA_Experiment.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace orva {

namespace {

constexpr int kOkId = 1;

void paintCells(DrawingSurface &surface,
                const OwnListDraft::Cells &cells,
                const QStringList &names,
                int cellCount,
                int columns,
                int highlighted)
{
    surface.fillRect(Palette::kWhite, false, false, surface.rect());
    for (int i = 0; i < cellCount; ++i) {
        const QRect cell = cells.cell(i % columns, i / columns);
        const bool selected = i == highlighted;
        surface.fillRect(selected ? Palette::kHighlight : Palette::kWhite, false, false, cell);
        surface.frame(Palette::kNearBlack, 1, cell);
        if (i < names.size()) {
            surface.setTextColor(selected ? Palette::kHighlightText : Palette::kNearBlack);
            surface.drawText(cell, true, true, names[i]);
        }
    }
}

} // namespace

OwnSyllableListDialog::OwnSyllableListDialog(const StringTable &strings,
                                             ORVA_Experiment &experiment,
                                             DialogRunner &runner,
                                             QWidget *owner)
    : m_strings(strings)
    , m_experiment(experiment)
    , m_runner(runner)
    , m_dialog(DialogTemplates::ownSyllableList(), strings, owner)
    , m_draft(int(experiment.trainStock().size()))
{
    auto *explanation = m_dialog.controlAs<QLabel>(kExplanationId);
    explanation->setText(strings.text(kExplanationText));
    explanation->setWordWrap(true);
    auto *name = m_dialog.controlAs<QLineEdit>(kNameId);
    name->setMaxLength(OwnListDraft::kNameCharsRead);
    // The list file holds the name as one word: white space cannot be typed or pasted.
    name->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\S*")), name));
    m_dialog.setPainter(kGridId, [this](DrawingSurface &surface) { paintGrid(surface); });
    m_dialog.setPainter(kListId, [this](DrawingSurface &surface) { paintList(surface); });
    for (int id : { kGridId, kListId })
        m_dialog.control(id)->installEventFilter(this);
    connect(m_dialog.controlAs<QPushButton>(kTakeOverId), &QPushButton::clicked, this,
            [this] { takeOver(); });
    // OK checks the name first; the dialog closes only when the list was taken or given up.
    auto *ok = m_dialog.controlAs<QPushButton>(kOkId);
    ok->disconnect(&m_dialog);
    connect(ok, &QPushButton::clicked, this, [this] { onOk(); });
}

bool OwnSyllableListDialog::run()
{
    m_draft.reset();
    m_added = false;
    m_runner.run(m_dialog);
    return m_added;
}

bool OwnSyllableListDialog::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (!press && !doubleClick)
        return false;
    auto *panel = static_cast<QWidget *>(watched);
    const QPoint point = static_cast<QMouseEvent *>(event)->position().toPoint();
    if (watched == m_dialog.control(kGridId)) {
        m_draft.clickGrid(point, panel->size());
        if (doubleClick && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
            && m_draft.clickGrid(point, panel->size()))
            m_draft.takeOver();
    } else if (watched == m_dialog.control(kListId)) {
        m_draft.clickList(point, panel->size());
    }
    redraw();
    return false; // the tool tip sees the click too
}

void OwnSyllableListDialog::paintGrid(DrawingSurface &surface)
{
    QStringList names;
    for (const ORVA_Syllable &syllable : m_experiment.trainStock())
        names << syllable.name;
    paintCells(surface, m_draft.gridCells(surface.rect().size()), names, m_draft.stockSize(),
               OwnListDraft::kGridColumns, m_draft.gridSelection());
}

void OwnSyllableListDialog::paintList(DrawingSurface &surface)
{
    QStringList names;
    for (int index : m_draft.syllables())
        names << m_experiment.trainStock()[size_t(index)].name;
    // One empty cell follows the last syllable, up to the six cells of the row.
    const int cells = std::min<int>(int(names.size()) + 1, OwnListDraft::kMaxSyllables);
    paintCells(surface, OwnListDraft::listCells(surface.rect().size()), names, cells,
               OwnListDraft::kMaxSyllables, m_draft.listPosition());
}

void OwnSyllableListDialog::takeOver()
{
    m_draft.takeOver();
    redraw();
}

void OwnSyllableListDialog::redraw()
{
    m_dialog.control(kGridId)->update();
    m_dialog.control(kListId)->update();
}

void OwnSyllableListDialog::onOk()
{
    const QString name = m_dialog.controlAs<QLineEdit>(kNameId)->text();
    if (const int problem = OwnListDraft::nameProblem(name)) {
        m_runner.show(m_strings.text(Text::kErrorTitle), m_strings.text(problem),
                      MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    if (m_draft.syllables().isEmpty()) {
        if (m_runner.show(m_strings.text(Text::kQuestionTitle), m_strings.text(kEmptyListQuestion),
                          MessageIcon::Question, MessageButtons::YesNoCancel)
            == MessageAnswer::Yes)
            m_dialog.reject();
        return;
    }
    QStringList names;
    for (const ORVA_Syllable &syllable : m_experiment.trainStock())
        names << syllable.name;
    m_added = m_experiment.addOwnTrainList(m_draft.list(name, names, m_experiment.expLanguage()));
    m_dialog.accept();
}

} // namespace orva
