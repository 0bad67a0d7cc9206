// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace orva {

/// The 15-bit linear congruential generator the sequence fillings draw with: the state goes
/// state × 214013 + 2531011 (mod 2^32), the output is bits 16 to 30 of the new state.
class RandomGenerator
{
public:
    static constexpr int kMax = 32767;

    explicit RandomGenerator(quint32 seed = 1)
        : m_state(seed)
    { }
    void seed(quint32 seed) { m_state = seed; }
    /// 0 … 32767.
    int next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7fff);
    }
    /// 0 … n - 1, for n > 0.
    int randInt(int n) { return static_cast<int>(next() / 32768.0 * n); }

private:
    quint32 m_state;
};

} // namespace orva
