// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QBasicTimer>
#include <QImage>
#include <QWidget>

namespace orva {

class Palette;
class StringTable;

/// The splash screen: the splash bitmap with the product name and the version, shown centred
/// and on top for three seconds after start, then gone by itself.
class QS_SplashScreen final : public QWidget
{
public:
    static constexpr int kTimerId = 3215;
    static constexpr int kLifetimeMs = 3000;

    /// Deletes itself when its time is over. `language` is the user-interface language index.
    QS_SplashScreen(const StringTable &strings, Palette &palette, int language);

    /// The x of the text column: 350 for French and Polish, 380 otherwise.
    static int textColumn(int language);

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    const StringTable &m_strings;
    Palette &m_palette;
    int m_language = 0;
    QImage m_bitmap;
    QBasicTimer m_lifetime;
};

} // namespace orva
