// SPDX-License-Identifier: GPL-3.0-or-later
// The run model's run file: its state converted to and from the file's content.
#include "engine/ORVA_Experiment.h"
#include "records/RunFile.h"
#include "support/Logger.h"

#include <cmath>

namespace orva {

namespace {

int truncated(double value)
{
    return static_cast<int>(std::trunc(value));
}

RunFileSummary summaryOf(const ORVA_Statistic &statistic)
{
    RunFileSummary summary;
    summary.name = statistic.name.value_or(QString());
    summary.average = truncated(statistic.average);
    summary.count = statistic.count;
    summary.right = statistic.right;
    summary.percentRight = truncated(statistic.percentRight);
    summary.none = statistic.none;
    summary.percentNone = truncated(statistic.percentNone);
    return summary;
}

} // namespace

int ORVA_Experiment::read(const QString &path)
{
    return readRunFile(path, true);
}

int ORVA_Experiment::readDetached(const QString &path)
{
    return readRunFile(path, false);
}

int ORVA_Experiment::readRunFile(const QString &path, bool withUserLog)
{
    if (!m_dataPathGuard.allows(path))
        return -1;
    RunFileContent content;
    content.mode = m_mode;
    const int code = RunFile::read(path, m_expLanguage, content);
    if (code != 0)
        return code;

    // The names are resolved in the stock of the run's kind before anything is replaced, so
    // that a file that cannot be read leaves the current run and client as they were.
    QList<Measurement> measurements;
    measurements.reserve(content.measurements.size());
    for (const RunFileMeasurement &stored : std::as_const(content.measurements)) {
        Measurement measurement;
        if (!stored.name.isEmpty()) {
            measurement.stockIndex = content.mode == Training ? findInTrainStock(stored.name)
                                                              : findInTestStock(stored.name);
            if (measurement.stockIndex < 0) {
                logMessage(2, "   EX::RD: syllable %s is not in the stock\n",
                           stored.name.toUtf8().constData());
                return -1;
            }
        }
        measurement.reactionTime = stored.reactionTime;
        measurement.result = stored.result;
        measurements.append(measurement);
    }

    if (withUserLog) {
        const Status saved = reset(true);
        if (!saved.ok())
            logMessage(1, QStringLiteral("ERROR: %1\n").arg(saved.error()));
    } else {
        (void)reset(false);
        m_userLog.clear();
    }
    m_client = content.client;
    m_selection = m_client.syllableSelection();
    m_mode = content.mode;
    m_comment = content.comment;
    m_measurements = std::move(measurements);
    m_currentIndex = 0;
    QString logPath;
    if (withUserLog && createLogFileName(logPath, true) == 0)
        (void)m_userLog.loadOrSetAside(logPath);
    calcStatistics();
    logMessage(10, "END Exp::read\n");
    return 0;
}

Status ORVA_Experiment::write(const QString &path)
{
    if (!m_dataPathGuard.allows(path))
        return Status::failure(
            QStringLiteral("cannot write %1: it leads out of the data folder").arg(path));
    while (!m_comment.isEmpty() && m_comment.back().isSpace())
        m_comment.chop(1);
    RunFileContent content;
    content.mode = m_mode;
    content.language = m_expLanguage;
    content.client = m_client;
    content.comment = m_comment;
    for (int k = 0; k < m_measurements.size(); ++k) {
        const ORVA_Syllable *syllable = syllableOfMeasurement(k);
        // A file naming no syllable could not be read again.
        if (!syllable || syllable->name.isEmpty()) {
            return Status::failure(QStringLiteral("cannot write %1: measurement %2 has no syllable")
                                       .arg(path)
                                       .arg(k + 1));
        }
        const Measurement &measurement = m_measurements[k];
        content.measurements.append(
            { syllable->name, measurement.reactionTime, measurement.result });
    }
    calcStatistics();
    content.total = summaryOf(m_statistics[0]);
    for (int i = 1; i < m_statistics.size(); ++i)
        content.syllables.append(summaryOf(m_statistics[i]));
    return RunFile::write(path, content);
}

} // namespace orva
