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

bool StreamClockModel::observe(qint64 frame, qint64 timeUs)
{
    QMutexLocker locker(&m_lock);
    const Observation observation { frame, timeUs };
    if (!m_firstUs)
        m_firstUs = timeUs;
    if (!m_settled && timeUs - *m_firstUs >= m_options.settleUs) {
        // What came while the stream settled does not count any more.
        m_settled = true;
        m_window.clear();
        m_suspects.clear();
    }
    while (!m_window.empty() && timeUs - m_window.front().timeUs > m_options.windowUs)
        m_window.pop_front();

    if (m_settled && m_line && !m_window.empty()
        && std::abs(timeUs - m_line->at(frame)) > double(m_options.jumpUs)) {
        // Suspects agree when they lie on one line of the nominal rate.
        if (!m_suspects.empty()) {
            const Observation &last = m_suspects.back();
            const double expected =
                double(last.timeUs) + double(frame - last.frame) * nominalUsPerFrame();
            if (std::abs(timeUs - expected) > double(m_options.jumpUs))
                m_suspects.clear();
        }
        m_suspects.push_back(observation);
        if (static_cast<int>(m_suspects.size()) < m_options.jumpConfirmations)
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
    // Relative to the newest observation, so that doubles keep every microsecond.
    const Observation &newest = m_window.back();
    const double nominal = nominalUsPerFrame();
    const double n = double(m_window.size());
    double meanFrame = 0;
    double meanTime = 0;
    for (const Observation &o : m_window) {
        meanFrame += double(o.frame - newest.frame) / n;
        meanTime += double(o.timeUs - newest.timeUs) / n;
    }
    double slope = nominal;
    const qint64 spanUs = newest.timeUs - m_window.front().timeUs;
    if (m_window.size() >= 3 && spanUs >= m_options.rateSpanUs) {
        double sxy = 0;
        double sxx = 0;
        for (const Observation &o : m_window) {
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
    m_line = line;
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
