// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/StreamClockModel.h"

#include "support/Logger.h"

#include <algorithm>
#include <vector>

namespace orva {

namespace {

qint64 medianOf(std::vector<qint64> values)
{
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2)
        return *middle;
    // Even count: the mean of the two middle values, the lower one being the largest below.
    const qint64 lower = *std::max_element(values.begin(), middle);
    return lower + (*middle - lower) / 2;
}

} // namespace

StreamClockModel::StreamClockModel(QString name)
    : StreamClockModel(std::move(name), Options())
{ }

StreamClockModel::StreamClockModel(QString name, const Options &options)
    : m_name(std::move(name))
    , m_options(options)
{ }

bool StreamClockModel::observe(qint64 nowUs, qint64 streamUs)
{
    QMutexLocker locker(&m_lock);
    const Observation observation { nowUs, nowUs - streamUs };
    if (!m_firstUs)
        m_firstUs = nowUs;
    if (!m_settled && nowUs - *m_firstUs >= m_options.settleUs) {
        // What came while the stream settled does not count any more.
        m_settled = true;
        m_window.clear();
        m_suspects.clear();
    }
    while (!m_window.empty() && nowUs - m_window.front().nowUs > m_options.windowUs)
        m_window.pop_front();

    if (m_settled && m_offsetUs && !m_window.empty()
        && qAbs(observation.offsetUs - *m_offsetUs) > m_options.jumpUs) {
        if (!m_suspects.empty()
            && qAbs(observation.offsetUs - m_suspects.back().offsetUs) > m_options.jumpUs)
            m_suspects.clear();
        m_suspects.push_back(observation);
        if (static_cast<int>(m_suspects.size()) < m_options.jumpConfirmations)
            return false;
        const qint64 previousUs = *m_offsetUs;
        m_window = std::move(m_suspects);
        m_suspects.clear();
        updateMedian();
        ++m_reanchors;
        logMessage(1, "   audio: %s clock re-anchored by %lld us\n", qPrintable(m_name),
                   static_cast<long long>(*m_offsetUs - previousUs));
        return true;
    }
    m_suspects.clear();
    m_window.push_back(observation);
    updateMedian();
    return false;
}

void StreamClockModel::setExact(qint64 frameZeroUs)
{
    QMutexLocker locker(&m_lock);
    m_window.clear();
    m_suspects.clear();
    m_window.push_back({ frameZeroUs, frameZeroUs });
    m_firstUs = frameZeroUs - m_options.settleUs;
    m_settled = true;
    m_offsetUs = frameZeroUs;
}

void StreamClockModel::reset()
{
    QMutexLocker locker(&m_lock);
    m_window.clear();
    m_suspects.clear();
    m_firstUs.reset();
    m_offsetUs.reset();
    m_settled = false;
}

void StreamClockModel::updateMedian()
{
    std::vector<qint64> offsets;
    offsets.reserve(m_window.size());
    for (const Observation &observation : m_window)
        offsets.push_back(observation.offsetUs);
    m_offsetUs = medianOf(std::move(offsets));
}

std::optional<qint64> StreamClockModel::frameTimeUs(qint64 frame) const
{
    QMutexLocker locker(&m_lock);
    if (!m_offsetUs)
        return std::nullopt;
    return *m_offsetUs + frame * 1'000'000 / m_options.sampleRate;
}

std::optional<qint64> StreamClockModel::frameAtUs(qint64 us) const
{
    QMutexLocker locker(&m_lock);
    if (!m_offsetUs)
        return std::nullopt;
    const qint64 sinceZero = us - *m_offsetUs;
    const qint64 scaled = sinceZero * m_options.sampleRate;
    // Rounded toward minus infinity, so times before frame 0 give negative frames.
    return scaled >= 0 ? scaled / 1'000'000 : -((-scaled + 999'999) / 1'000'000);
}

std::optional<qint64> StreamClockModel::offsetUs() const
{
    QMutexLocker locker(&m_lock);
    return m_offsetUs;
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
