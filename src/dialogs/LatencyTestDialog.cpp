// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/LatencyTestDialog.h"

#include "dialogs/DialogRunner.h"
#include "engine/LatencySelfTest.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace orva {

LatencyTestDialog::LatencyTestDialog(LatencySelfTest &test,
                                     const StringTable &strings,
                                     MessageBoxes &boxes,
                                     QWidget *owner)
    : QDialog(owner)
    , m_test(test)
    , m_strings(strings)
    , m_boxes(boxes)
{
    setObjectName(QStringLiteral("LatencyTestDialog"));
    setWindowTitle(strings.text(Text::kLatencyTestCaption));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(strings.text(Text::kLatencyTestIntro), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setWordWrap(true);
    layout->addWidget(m_result);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(strings.text(Text::kLatencyTestClose));
    m_measure =
        buttons->addButton(strings.text(Text::kLatencyTestMeasure), QDialogButtonBox::ActionRole);
    m_measure->setObjectName(QStringLiteral("measure"));
    m_measure->setDefault(true);
    m_keep = buttons->addButton(strings.text(Text::kLatencyTestKeep), QDialogButtonBox::ApplyRole);
    m_keep->setObjectName(QStringLiteral("keep"));
    m_keep->setEnabled(false);
    layout->addWidget(buttons);
    connect(m_measure, &QPushButton::clicked, this, &LatencyTestDialog::measure);
    connect(m_keep, &QPushButton::clicked, this, &LatencyTestDialog::keep);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_tick.setInterval(50);
    connect(&m_tick, &QTimer::timeout, this, &LatencyTestDialog::tick);
    // Wrapped texts take the height they need at the dialog's width.
    constexpr int kWidth = 520;
    setMinimumWidth(kWidth);
    const QMargins margins = layout->contentsMargins();
    const int textWidth = kWidth - margins.left() - margins.right();
    intro->setMinimumHeight(intro->heightForWidth(textWidth));
    // Room for the longest result: the figures, what keeping does and the Bluetooth warning.
    m_result->setText(strings.text(Text::kLatencyTestResult) + QStringLiteral("\n\n")
                      + strings.text(Text::kLatencyTestUntrusted));
    m_result->setMinimumHeight(m_result->heightForWidth(textWidth));
    m_result->clear();
}

LatencyTestDialog::~LatencyTestDialog()
{
    // Closed while the clicks play: they stop, and nothing is kept.
    if (m_tick.isActive())
        (void)m_test.finish();
}

void LatencyTestDialog::run(DialogRunner &runner)
{
    runner.run(*this);
}

void LatencyTestDialog::measure()
{
    m_keep->setEnabled(false);
    if (!m_test.start()) {
        m_result->setText(LatencySelfTest::describe(m_test.result(), m_strings));
        return;
    }
    m_measure->setEnabled(false);
    m_result->setText(m_strings.text(Text::kLatencyTestRunning));
    m_progress->setValue(0);
    m_elapsed.start();
    m_tick.start();
}

void LatencyTestDialog::tick()
{
    const qint64 total = std::max(1, m_test.durationMs());
    m_progress->setValue(int(std::min<qint64>(1000, m_elapsed.elapsed() * 1000 / total)));
    if (m_elapsed.elapsed() >= total)
        done();
}

void LatencyTestDialog::done()
{
    m_tick.stop();
    m_progress->setValue(1000);
    m_result->setText(LatencySelfTest::describe(m_test.finish(), m_strings));
    m_measure->setEnabled(true);
    m_keep->setEnabled(m_test.canKeep());
}

void LatencyTestDialog::keep()
{
    const Status kept = m_test.keep();
    if (!kept.ok()) {
        m_boxes.show(m_strings.text(Text::kErrorTitle), kept.error(), MessageIcon::Error,
                     MessageButtons::Ok);
        return;
    }
    m_keep->setEnabled(false);
    m_result->setText(m_result->text() + QStringLiteral("\n\n")
                      + m_strings.text(Text::kLatencyTestKept));
}

QString LatencyTestDialog::resultText() const
{
    return m_result->text();
}

bool LatencyTestDialog::canKeep() const
{
    return m_keep->isEnabled();
}

} // namespace orva
