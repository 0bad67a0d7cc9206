// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/ORVA_Wave.h"
#include "engine/MaterialTables.h"
#include "engine/Measurement.h"
#include "engine/ORVA_Statistic.h"
#include "engine/ORVA_Syllable.h"
#include "engine/RandomGenerator.h"
#include "engine/SyllableList.h"
#include "records/DataPathGuard.h"
#include "records/ORVA_Proband.h"
#include "records/SyllableListFile.h"
#include "records/UserLog.h"
#include "support/Languages.h"

#include <QList>
#include <QString>

#include <array>
#include <vector>

namespace orva {

/// Run kinds.
enum RunMode : int {
    PreTest = 1,
    MainTest = 2,
    Training = 3,
};

/// The run model: everything that belongs to one run of one client and the material it is built
/// from. The main window owns one for the whole life of the program and reuses it for every run;
/// the run controller moves through its sequence. UI thread only.
class ORVA_Experiment
{
public:
    static constexpr int kPreTestLength = 12;
    static constexpr int kMainTestLength = 60;
    static constexpr int kTestAnswerWindowMs = 2000;
    /// The comment holds at most this many characters.
    static constexpr int kMaxCommentChars = 9999;

    ORVA_Experiment();
    virtual ~ORVA_Experiment() = default;
    ORVA_Experiment(const ORVA_Experiment &) = delete;
    ORVA_Experiment &operator=(const ORVA_Experiment &) = delete;

    // Run kind
    int mode() const { return m_mode; }
    bool isTestMode() const { return m_mode == PreTest || m_mode == MainTest; }
    bool isPreTest() const { return m_mode == PreTest; }
    bool isMainTest() const { return m_mode == MainTest; }
    bool isTraining() const { return m_mode == Training; }
    /// How long the controller waits for a voice onset after a syllable started, in ms.
    int answerWindow() const;

    // Sequence
    int measurementCount() const { return static_cast<int>(m_measurements.size()); }
    const Measurement &measurement(int i) const { return m_measurements[i]; }
    Measurement &measurement(int i) { return m_measurements[i]; }
    const QList<Measurement> &measurements() const { return m_measurements; }
    /// Replaces the sequence (run files, sequence filling); the current index goes to 0.
    void setMeasurements(QList<Measurement> measurements);
    int currentIndex() const { return m_currentIndex; }
    /// Points at measurement `index` (limited to the sequence), as when a run read back from a
    /// file is carried on where it ended.
    void setCurrentIndex(int index)
    {
        m_currentIndex = qBound(0, index, qMax(0, int(m_measurements.size()) - 1));
    }
    /// The measurement at the current index; nullptr while there is none (index -1 or empty).
    Measurement *currentMeasurement();
    const Measurement *currentMeasurement() const;

    // Material
    int stockSize() const;
    /// Syllable `stockIndex` of the current stock, or nullptr.
    ORVA_Syllable *syllable(int stockIndex);
    const ORVA_Syllable *syllable(int stockIndex) const;
    ORVA_Syllable *currentSyllable();
    const ORVA_Syllable *syllableOfMeasurement(int i) const;
    std::vector<ORVA_Syllable> &trainStock() { return m_trainStock; }
    const std::vector<ORVA_Syllable> &trainStock() const { return m_trainStock; }
    std::vector<ORVA_Syllable> &testStock() { return m_testStock; }
    const std::vector<ORVA_Syllable> &testStock() const { return m_testStock; }
    SyllableListSet &trainSyllableList() { return m_trainSyllableList; }
    const SyllableListSet &trainSyllableList() const { return m_trainSyllableList; }
    SyllableListSet &testSyllableList() { return m_testSyllableList; }
    const SyllableListSet &testSyllableList() const { return m_testSyllableList; }
    /// The list a run of `mode` draws from: the client's chosen training list, or the test list.
    const SyllableList *runList(int mode) const;
    /// Whether a run of `mode` has what it needs: a non-empty stock and, for training, the
    /// client's chosen list of the current language with at least one syllable and repetition.
    bool canStartRun(int mode) const;
    /// The names of the syllables of a run of `mode` whose recording the player cannot play.
    QStringList unplayableSyllables(int mode) const;
    /// The names of every recording of the material that the player cannot play.
    QStringList unplayableRecordings() const;
    std::array<ORVA_Wave, 2> &noise() { return m_noise; }

    // Steps of the run controller
    /// reset(false), sets the mode and sizes the sequence: 12, 60, or the chosen training list's
    /// size times the client's repetitions, all measurements {0, 0, 0}.
    void prepareRun(int mode);
    /// Current index 0; the syllable of measurement 0, or nullptr for an empty sequence.
    ORVA_Syllable *firstSyllable();
    /// Current index + 1; the syllable there, or nullptr past the end.
    ORVA_Syllable *nextSyllable();
    /// Clears the current measurement and steps back, so that the next step presents it again.
    void rejectSyllable();
    void setRight();
    void setWrong();
    void setNoAnswer();
    void setReactionTime(int ms);

    // Noise of a training run
    /// Rebuilds the play copies of the run's syllables, with the noise mixed in when noise is on
    /// and not continuous.
    void prepareNoise();
    /// Starts the endless noise, silent, in a training run with continuous noise.
    void startContinuousNoise();
    /// Sets the endless noise to `factor` (0..1) of the way from -100 dB to the noise level.
    void setNoiseFade(double factor);
    void stopNoise();

    // Statistics
    /// Computes the statistics from the measurements, once per run.
    void calcStatistics();
    const QList<ORVA_Statistic> &statistics() const { return m_statistics; }

    /// The client's user-log path: 0 with `out` set, or 1 (out untouched) without a last name;
    /// 2 (out set) when the data path guard refuses the path, so that callers leave it alone.
    int createLogFileName(QString &out, bool withDataDirectory) const;

    /// Empties the run. With `resetClient` the outgoing client's user log is saved and the client
    /// record returns to its defaults; otherwise the client's run date becomes now. The failure
    /// to save that user log is returned (the client is reset all the same).
    Status reset(bool resetClient);
    /// Saves the current client's user log; success without a client name (nothing to save).
    Status saveUserLog() const;
    /// Switches the material to `language`; with `loadAudio` the recordings are read and the
    /// lists rebuilt. The measurements are cleared.
    void setLanguage(int language, bool loadAudio, bool resetClient);

    // Run file
    /// Reads a run file: 0 read, 1 the file belongs to another material language, -1 any other
    /// failure. On success the outgoing client's user log is saved, the run and client are
    /// replaced and the new client's user log is loaded; on failure nothing changes.
    int read(const QString &path);
    /// read() without saving or loading any user log, for a scratch model that lists runs.
    int readDetached(const QString &path);
    /// Writes the run file, replacing `path` only once it was written; a failure leaves a previous
    /// file as it was and says why. Removes the white space from the end of the comment.
    Status write(const QString &path);
    int expLanguage() const { return m_expLanguage; }
    const QString &languageCode() const { return m_languageCode; }

    ORVA_Proband &client() { return m_client; }
    const ORVA_Proband &client() const { return m_client; }
    const QString &comment() const { return m_comment; }
    /// Keeps at most kMaxCommentChars characters.
    void setComment(const QString &comment);
    const QString &baseDirectory() const { return m_baseDirectory; }
    void setBaseDirectory(const QString &directory) { m_baseDirectory = directory; }
    /// Where the model's files are when they are not below the base directory (an installation
    /// the user may not write): recordings, user logs and own lists. Empty parts: below the base.
    struct FileLocations
    {
        QString mediaFolder;
        QString dataFolder;
        QString ownListsFile;
    };
    void setFileLocations(FileLocations locations) { m_fileLocations = std::move(locations); }
    QString mediaFolder() const;
    QString dataFolder() const;
    QString ownListsFile() const;
    /// Refuses user-log and run-file paths below the data folders that lead out of them.
    DataPathGuard &dataPathGuard() { return m_dataPathGuard; }
    UserLog &userLog() { return m_userLog; }
    const UserLog &userLog() const { return m_userLog; }
    int selection() const { return m_selection; }
    void setSelection(int selection) { m_selection = selection; }
    int usedCount() const { return m_usedCount; }
    void setUsedCount(int count) { m_usedCount = count; }

    // Material of the current language
    /// Reads both stocks and the noise recordings of the current language.
    bool readAudioData();
    /// Reads every "*.wav" below `folder` (sorted by path) into the training or the test stock.
    bool readTrainSyllables(const QString &folder);
    bool readTestSyllables(const QString &folder);
    /// Fills both stocks with the names of the language's tables, without sound.
    void buildStocksFromNameTables();
    /// Rebuilds both list sets: the built-in groups, then the operator's own lists.
    void createSyllableLists();
    /// Adds each group whose syllables are all in the training (test) stock, as a built-in list.
    void createTrainSyllableListFrom(const QList<SyllableGroup> &groups, int language);
    void createTestSyllableListFrom(const QList<SyllableGroup> &groups, int language);
    /// The operator's own lists of the current language, read from ownListsFile() and
    /// added to the training lists; false when the file cannot be read.
    bool readUserDefinedTrainSyllableLists();
    /// Writes the own lists of the current language to ownListsFile(), keeping the lists of the
    /// other languages that the file holds; a failure leaves the file as it was.
    Status writeUserDefinedTrainSyllableTrain() const;
    /// Resolves an own list against the training stock and adds it; false when a syllable of it
    /// is not in the stock.
    bool addOwnTrainList(SyllableList list);
    /// Clears the active flag of the own list with `id`; false when there is no such own list.
    bool deactivateOwnList(int id);
    /// Stock index of the first syllable named `name` (ASCII letters in any case), or -1.
    int findInTrainStock(const QString &name) const;
    int findInTestStock(const QString &name) const;
    int findInCurrentStock(const QString &name) const;

    // Filling the sequence of a prepared run
    /// Blocks of the list's syllables, each block shuffled, no block starting with the syllable
    /// that ended the one before.
    void fillShuffled(const SyllableList &list);
    /// The list in its own order, over and over.
    void fillOrdered(const SyllableList &list);
    /// Syllables drawn from the whole stock, none again until every one was presented; the
    /// bookkeeping carries over to the next run.
    void fillRandomWithoutRepetition();
    /// Six syllables drawn from the whole stock, presented in shuffled blocks.
    void fillRandomWithRepetition();
    RandomGenerator &random() { return m_random; }

private:
    int readRunFile(const QString &path, bool withUserLog);
    std::vector<ORVA_Syllable> &currentStock();
    const std::vector<ORVA_Syllable> &currentStock() const;
    bool readSyllables(const QString &folder, std::vector<ORVA_Syllable> &stock, const char *what);
    /// Resolves every entry of `list` in `stock` and adds it to `set` when all are found.
    bool
    resolveAndAdd(SyllableList list, const std::vector<ORVA_Syllable> &stock, SyllableListSet &set);
    /// The draw avoids `last` unless it is the only syllable left to draw.
    int drawUnused(int last);
    ORVA_Wave *currentNoise();

    SyllableListSet m_trainSyllableList;
    /// Own lists of the current language whose syllables have no recording now: not offered,
    /// but written back as they were, so that they are there again once the recordings are.
    QList<SyllableListFile::OwnList> m_unresolvedOwnLists;
    SyllableListSet m_testSyllableList;
    ORVA_Proband m_client;
    QString m_comment;
    QString m_baseDirectory;
    FileLocations m_fileLocations;
    DataPathGuard m_dataPathGuard;
    QString m_languageCode;
    int m_expLanguage = NoLanguage;
    std::vector<ORVA_Syllable> m_trainStock;
    std::vector<ORVA_Syllable> m_testStock;
    std::array<ORVA_Wave, 2> m_noise;
    QList<Measurement> m_measurements;
    int m_currentIndex = 0;
    int m_usedCount = 0;
    int m_mode = MainTest;
    int m_selection = 1;
    QList<ORVA_Statistic> m_statistics;
    UserLog m_userLog;
    RandomGenerator m_random;
    int m_lastDrawn = 0; ///< the last syllable of the draw with repetition, kept across runs
};

} // namespace orva
