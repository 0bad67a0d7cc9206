// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/ClientFiles.h"

#include <QString>

namespace orva {

class MessageBoxes;
class ORVA_Experiment;
class RunController;
class StringTable;

/// Asks the operator for the path of "save under a name"; an empty answer cancels.
class SavePathChooser
{
public:
    virtual ~SavePathChooser() = default;
    /// The folder to start in, the proposed file name, the title and the filters of the dialog.
    virtual QString choosePath(const QString &folder,
                               const QString &proposed,
                               const QString &title,
                               const QString &filters) = 0;
};

/// What the file commands need of the window around them.
class RunFileView
{
public:
    virtual ~RunFileView() = default;
    /// The comment field into the run model, before the run is written.
    virtual void storeComment() = 0;
    /// The client record and the run's comment from the run model into their fields.
    virtual void showClient() = 0;
    /// Empties the run model (keeping the client unless `resetClient`) and the fields.
    virtual void resetRun(bool resetClient) = 0;
    /// A run file was written: the client list is out of date.
    virtual void runFilesChanged() = 0;
    /// The program or run state changed: enabling rules, layout and paint.
    virtual void stateChanged() = 0;
};

/// File > New, Save, Save As and the question whether to save an unsaved run, and the run kept
/// when the program is ended from outside: the commands that write or drop the run of the run
/// model. Headless; the window shows the results through RunFileView.
class RunFileCommands
{
public:
    /// `dataDirectory` is the setting's folder of the run files, read at each save;
    /// `unsavedRunPath` where a run waits when the program is ended from outside. Save As asks
    /// the chooser set with setSavePathChooser().
    RunFileCommands(ORVA_Experiment &experiment,
                    RunController &controller,
                    const QString &dataDirectory,
                    QString unsavedRunPath,
                    MessageBoxes &boxes,
                    const StringTable &strings,
                    RunFileView &view);

    /// The operator's choice of a path for Save As (not owned); without one Save As does nothing.
    void setSavePathChooser(SavePathChooser *chooser) { m_chooser = chooser; }
    /// File > New: asks to save an unsaved run, then whether the next run is for the same
    /// client, and empties the run model.
    void newRun();
    /// File > Save under the name made from client and run (a free one; "-2", … when taken).
    bool save();
    /// File > Save As under a name the operator chooses; an existing file is replaced only
    /// after a Yes.
    bool saveAs();
    /// True when nothing unsaved is lost: no unsaved run, or the operator saved it or let it go.
    bool askToSaveUnsaved();

    /// The program ends by the operator's hand: a run still going is aborted (its entries so far
    /// reach the user log), an unsaved run is offered for saving, and the run and the own lists
    /// are let go. False, with nothing changed but the abort, when the operator cancels.
    bool closeForExit();
    /// The program is ended from outside: a run still going is aborted, an unsaved run goes to
    /// unsavedRunPath() untold, the own lists are written.
    void closeForTermination();
    /// At the next start: asks whether the kept run is to be opened, and opens it.
    void offerUnsavedRun(int uiLanguage);
    const QString &unsavedRunPath() const { return m_unsavedRunPath; }

private:
    ClientFiles::Run runForFileName() const;
    /// True when `name` was built; otherwise tells the operator why there is none.
    bool refuseUnnamed(const ClientFiles::FileName &name) const;
    /// Writes the run to `path`; the failure's box when that fails.
    bool writeRun(const QString &path);
    /// Save and Save As are allowed now.
    bool maySave() const;

    ORVA_Experiment &m_experiment;
    RunController &m_controller;
    const QString &m_dataDirectory;
    QString m_unsavedRunPath;
    MessageBoxes &m_boxes;
    const StringTable &m_strings;
    SavePathChooser *m_chooser = nullptr;
    RunFileView &m_view;
};

} // namespace orva
