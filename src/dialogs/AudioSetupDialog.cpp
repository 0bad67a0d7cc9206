// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AudioSetupDialog.h"

#include "dialogs/SoundCardPicture.h"
#include "support/StringTable.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace orva {

/// The sound card picture, painted at every paint of its window so that it survives being
/// covered and uncovered.
class AudioSetupDialog::PictureArea final : public QWidget
{
public:
    PictureArea(QString headphones, QString microphone, QWidget *parent)
        : QWidget(parent)
        , m_headphones(std::move(headphones))
        , m_microphone(std::move(microphone))
    { }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        SoundCardPicture::paint(painter, QRectF(rect()), m_headphones, m_microphone);
    }

private:
    QString m_headphones;
    QString m_microphone;
};

AudioSetupDialog::AudioSetupDialog(
    const StringTable &strings, int language, Handlers handlers, QWidget *owner, const QFont *font)
    : TemplateDialog(DialogTemplates::audioSetup(), strings, owner, font)
    , m_strings(strings)
    , m_handlers(std::move(handlers))
{
    const auto connectButton = [this](int id,
                                      std::function<void()> AudioSetupDialog::Handlers::*which) {
        if (auto *button = controlAs<QPushButton>(id))
            connect(button, &QPushButton::clicked, this, [this, which] {
                if (!m_hasEnded && m_handlers.*which)
                    (m_handlers.*which)();
            });
    };
    connectButton(kNextId, &Handlers::next);
    connectButton(kBackId, &Handlers::back);
    connectButton(kPlayId, &Handlers::play);
    connectButton(kLatencyTestId, &Handlers::latencyTest);
    // OK (accept), Abbrechen, Escape and the close button (reject) all end the wizard.
    connect(this, &QDialog::finished, this, [this] { end(); });

    if (auto *text = controlAs<QLabel>(kTextId))
        text->setTextFormat(Qt::PlainText); // the step texts hold quotes and arrows, not markup
    m_picture = new PictureArea(strings.text(QStringLiteral("dialog.133.headphones")),
                                strings.text(QStringLiteral("dialog.133.microphone")), this);
    const QWidget *text = control(kTextId);
    const QRect textRect = text ? text->geometry() : QRect();
    m_picture->setGeometry(SoundCardPicture::placement(
        textRect, width(), SoundCardPicture::lineHeight(logicalDpiY()), language));
    m_picture->hide();
}

AudioSetupDialog::~AudioSetupDialog() = default;

void AudioSetupDialog::showStep(const AudioSetupWizard::Step &step)
{
    if (auto *text = controlAs<QLabel>(kTextId))
        text->setText(m_strings.text(step.textId));
    const auto setShown = [this](int id, bool shown) {
        if (QWidget *button = control(id))
            button->setVisible(shown);
    };
    setShown(kBackId, step.back);
    setShown(kNextId, step.next);
    setShown(kPlayId, step.play);
    setShown(kLatencyTestId, step.latencyTest);
    setShown(kOkId, step.ok);
    setShown(kCancelId, step.cancel);
    // Return presses Weiter while there is one, OK at the end.
    if (auto *ok = controlAs<QPushButton>(kOkId)) {
        ok->setDefault(step.ok);
        ok->setAutoDefault(step.ok);
    }
    if (auto *next = controlAs<QPushButton>(kNextId)) {
        next->setDefault(step.next);
        next->setAutoDefault(step.next);
        if (step.next)
            next->setFocus();
    }
    m_picture->setVisible(step.picture);
    if (step.picture)
        m_picture->raise(); // above the text's label, which covers the room left for it
}

QWidget *AudioSetupDialog::picture() const
{
    return m_picture;
}

void AudioSetupDialog::detach()
{
    m_hasEnded = true;
    m_handlers = Handlers();
}

void AudioSetupDialog::end()
{
    if (m_hasEnded)
        return;
    m_hasEnded = true;
    // The handler closes the dialog, which detaches it: it must not be destroyed while it runs.
    const std::function<void()> ended = std::move(m_handlers.ended);
    if (ended)
        ended();
}

} // namespace orva
