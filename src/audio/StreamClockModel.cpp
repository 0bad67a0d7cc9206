// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/StreamClockModel.h"

#include "support/Logger.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace orva {

StreamClockModel::StreamClockModel(QString name)
    : StreamClockModel(std::move(name), Options())
{ }

StreamClockModel::StreamClockModel(QString name, const Options &options)
    : m_name(std::move(name))
    , m_options(options)
{ }

std::optional<qint64> StreamClockModel::programTimeOf(qint64 stampUs,
                                                      const std::function<qint64()> &programNowUs,
                                                      const std::function<qint64()> &otherNowUs,
                                                      qint64 toleranceUs)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        const qint64 beforeUs = programNowUs();
        const qint64 otherUs = otherNowUs();
        const qint64 afterUs = programNowUs();
        if (afterUs - beforeUs <= toleranceUs)
            return beforeUs + (afterUs - beforeUs) / 2 - (otherUs - stampUs);
    }
    return std::nullopt;
}

bool StreamClockModel::observe(qint64 frame, qint64 timeUs)
{
    QMutexLocker locker(&m_lock);
    const Observation observation { frame, timeUs };
    if (!m_firstUs)
        m_firstUs = timeUs;
    while (!m_window.empty() && timeUs - m_window.front().timeUs > m_options.windowUs)
        m_window.pop_front();

    if (!m_settled) {
        // What came while the stream settled does not count any more, and the line it settles
        // on is one that the last few reports agree on: a single report sent late (a server
        // thread held up on a busy machine, by tens of milliseconds at times) would otherwise be
        // the whole line, timing every frame that late until the reports after it moved it back.
        m_window.push_back(observation);
        fit();
        const bool agreed = confirms(observation);
        if (timeUs - *m_firstUs < m_options.settleUs || !agreed)
            return false;
        m_settled = true;
        m_window = std::move(m_suspects);
        m_suspects.clear();
        fit();
        return false;
    }

    // Checked against the line even when no observation is left in the window (reports that
    // stopped for longer than the window): a line that moves meanwhile is a discontinuity too.
    if (m_settled && m_line && std::abs(timeUs - m_line->at(frame)) > double(m_options.jumpUs)) {
        if (!confirms(observation))
            return false;
        const double previousUs = m_line->at(frame);
        m_window = std::move(m_suspects);
        m_suspects.clear();
        fit();
        ++m_reanchors;
        logMessage(1, "   audio: %s clock re-anchored by %lld us\n", qPrintable(m_name),
                   static_cast<long long>(std::llround(m_line->at(frame) - previousUs)));
        return true;
    }
    m_suspects.clear();
    m_window.push_back(observation);
    fit();
    return false;
}

bool StreamClockModel::confirms(const Observation &observation)
{
    // Suspects agree when they lie on one line of the nominal rate.
    if (!m_suspects.empty()) {
        const Observation &last = m_suspects.back();
        const double expected =
            double(last.timeUs) + double(observation.frame - last.frame) * nominalUsPerFrame();
        if (std::abs(observation.timeUs - expected) > double(m_options.jumpUs))
            m_suspects.clear();
    }
    m_suspects.push_back(observation);
    while (static_cast<int>(m_suspects.size()) > m_options.jumpConfirmations)
        m_suspects.pop_front();
    return static_cast<int>(m_suspects.size()) >= m_options.jumpConfirmations;
}

void StreamClockModel::setExact(qint64 frameZeroUs)
{
    QMutexLocker locker(&m_lock);
    m_window.clear();
    m_suspects.clear();
    m_window.push_back({ 0, frameZeroUs });
    m_firstUs = frameZeroUs - m_options.settleUs;
    m_settled = true;
    m_line = Line { 0, double(frameZeroUs), nominalUsPerFrame() };
}

void StreamClockModel::reset()
{
    QMutexLocker locker(&m_lock);
    m_window.clear();
    m_suspects.clear();
    m_firstUs.reset();
    m_line.reset();
    m_settled = false;
}

void StreamClockModel::fit()
{
    if (m_window.empty())
        return;
    // A report is stamped when the server sends it, after it read the stream's position: on a
    // busy machine the sending waits now and then, and the report comes out late by up to a few
    // milliseconds, never early. Within the jump limit those would pull the line late, by a
    // millisecond and more while the machine is busy; so the line is fitted again without the
    // observations clearly later than it, until it holds, and no fewer than a quarter are kept.
    m_used.assign(m_window.size(), 1);
    Line line = fitLine();
    const size_t least = std::max<size_t>(3, m_window.size() / 4);
    for (int pass = 0; pass < 4; ++pass) {
        size_t kept = 0;
        bool changed = false;
        for (size_t i = 0; i < m_window.size(); ++i) {
            const Observation &o = m_window[i];
            const char keep = double(o.timeUs) - line.at(o.frame) <= double(m_options.lateUs);
            changed = changed || keep != m_used[i];
            m_used[i] = keep;
            kept += keep;
        }
        if (!changed || kept < least)
            break;
        line = fitLine();
    }
    m_line = line;
}

StreamClockModel::Line StreamClockModel::fitLine() const
{
    // Relative to the newest observation, so that doubles keep every microsecond.
    const Observation &newest = m_window.back();
    const double nominal = nominalUsPerFrame();
    double n = 0;
    double meanFrame = 0;
    double meanTime = 0;
    std::optional<qint64> firstUs;
    qint64 lastUs = 0;
    for (size_t i = 0; i < m_window.size(); ++i) {
        if (!m_used[i])
            continue;
        const Observation &o = m_window[i];
        n += 1;
        meanFrame += (double(o.frame - newest.frame) - meanFrame) / n;
        meanTime += (double(o.timeUs - newest.timeUs) - meanTime) / n;
        if (!firstUs)
            firstUs = o.timeUs;
        lastUs = o.timeUs;
    }
    double slope = nominal;
    if (n >= 3 && firstUs && lastUs - *firstUs >= m_options.rateSpanUs) {
        double sxy = 0;
        double sxx = 0;
        for (size_t i = 0; i < m_window.size(); ++i) {
            if (!m_used[i])
                continue;
            const Observation &o = m_window[i];
            const double x = double(o.frame - newest.frame) - meanFrame;
            const double y = double(o.timeUs - newest.timeUs) - meanTime;
            sxy += x * y;
            sxx += x * x;
        }
        if (sxx > 0) {
            const double limit = nominal * m_options.maximumPpm * 1e-6;
            slope = std::clamp(sxy / sxx, nominal - limit, nominal + limit);
        }
    }
    // The line through the centre of the observations with that slope.
    Line line;
    line.frame = newest.frame;
    line.usPerFrame = slope;
    line.timeUs = double(newest.timeUs) + meanTime - meanFrame * slope;
    return line;
}

std::optional<qint64> StreamClockModel::frameTimeUs(qint64 frame) const
{
    QMutexLocker locker(&m_lock);
    if (!m_line)
        return std::nullopt;
    return std::llround(m_line->at(frame));
}

std::optional<qint64> StreamClockModel::frameAtUs(qint64 us) const
{
    QMutexLocker locker(&m_lock);
    if (!m_line)
        return std::nullopt;
    return m_line->frame
        + static_cast<qint64>(
               std::floor((double(us) - m_line->timeUs) / m_line->usPerFrame + 1e-6));
}

std::optional<qint64> StreamClockModel::offsetUs() const
{
    QMutexLocker locker(&m_lock);
    if (!m_line)
        return std::nullopt;
    return std::llround(m_line->at(0));
}

double StreamClockModel::deviationPpm() const
{
    QMutexLocker locker(&m_lock);
    if (!m_line)
        return 0;
    return (m_line->usPerFrame / nominalUsPerFrame() - 1) * 1e6;
}

bool StreamClockModel::isSettled() const
{
    QMutexLocker locker(&m_lock);
    return m_settled;
}

int StreamClockModel::reanchorCount() const
{
    QMutexLocker locker(&m_lock);
    return m_reanchors;
}

} // namespace orva
