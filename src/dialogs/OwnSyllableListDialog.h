// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"
#include "engine/OwnListDraft.h"

namespace orva {

class DialogRunner;
class ORVA_Experiment;

/// The operator's own training list of up to six syllables of the current language, under a
/// short name; on OK it joins the run model's training lists at once. The grid and the new list
/// are painted from an OwnListDraft, which takes the clicks. UI thread only.
class OwnSyllableListDialog : public QObject
{
    Q_OBJECT

public:
    static constexpr int kExplanationId = 1137;
    static constexpr int kGridId = 1039;
    static constexpr int kTakeOverId = 1111;
    static constexpr int kListId = 1114;
    static constexpr int kNameId = 1153;
    static constexpr int kExplanationText = 303;
    static constexpr int kEmptyListQuestion = 302;

    /// `experiment` gets the new list; `runner` shows the messages. Both must outlive the dialog.
    OwnSyllableListDialog(const StringTable &strings,
                          ORVA_Experiment &experiment,
                          DialogRunner &runner,
                          QWidget *owner = nullptr);

    TemplateDialog &dialog() { return m_dialog; }
    const OwnListDraft &draft() const { return m_draft; }
    /// Runs the dialog; true when a list was added.
    bool run();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintGrid(DrawingSurface &surface);
    void paintList(DrawingSurface &surface);
    void takeOver();
    void onOk();
    void redraw();

    const StringTable &m_strings;
    ORVA_Experiment &m_experiment;
    DialogRunner &m_runner;
    TemplateDialog m_dialog;
    OwnListDraft m_draft;
    bool m_added = false;
};

} // namespace orva
