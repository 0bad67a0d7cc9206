// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioBackendChoice.h"

#include <QTest>

using namespace orva;
using Backend = AudioBackendChoice::Backend;

/// Which backend a device value takes, and whether it asks for a PipeWire server to do so.
class AudioBackendChoiceTest : public QObject
{
    Q_OBJECT

private slots:
    void valuesChooseTheirBackend_data();
    void valuesChooseTheirBackend();
    void onlySystemAsksForPipeWire();
};

void AudioBackendChoiceTest::valuesChooseTheirBackend_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("pipeWireAnswers");
    QTest::addColumn<int>("backend");
    QTest::addColumn<QString>("device");
    const int pipeWire = int(Backend::PipeWire);
    const int pulse = int(Backend::Pulse);
    const int other = int(Backend::Other);
    QTest::newRow("system on PipeWire") << "system" << true << pipeWire << "";
    QTest::newRow("system on PulseAudio") << "system" << false << pulse << "";
    QTest::newRow("named node on PipeWire")
        << " system:alsa_output.usb-headset " << true << pipeWire << "alsa_output.usb-headset";
    QTest::newRow("named monitor on PulseAudio")
        << "system:headphones.monitor" << false << pulse << "headphones.monitor";
    QTest::newRow("PipeWire forced") << "pipewire" << false << pipeWire << "";
    QTest::newRow("PipeWire forced, named") << "pipewire:voice" << false << pipeWire << "voice";
    QTest::newRow("libpulse forced on PipeWire") << "pulse:voice" << true << pulse << "voice";
    QTest::newRow("file") << "file:/tmp/out.wav" << true << other << "";
    QTest::newRow("none") << "none" << true << other << "";
    // A prefix alone is not a scheme.
    QTest::newRow("systemd") << "systemd" << true << other << "";
    QTest::newRow("pulseaudio") << "pulseaudio:x" << true << other << "";
}

void AudioBackendChoiceTest::valuesChooseTheirBackend()
{
    QFETCH(QString, value);
    QFETCH(bool, pipeWireAnswers);
    QFETCH(int, backend);
    QFETCH(QString, device);
    const AudioBackendChoice choice =
        AudioBackendChoice::choose(value, [&] { return pipeWireAnswers; });
    QCOMPARE(int(choice.backend()), backend);
    QCOMPARE(choice.device(), device);
    QVERIFY(!choice.reason().isEmpty());
}

void AudioBackendChoiceTest::onlySystemAsksForPipeWire()
{
    int asked = 0;
    const auto answers = [&] {
        ++asked;
        return true;
    };
    for (const char *value : { "pipewire:x", "pulse", "file:x.wav", "none" })
        (void)AudioBackendChoice::choose(QString::fromLatin1(value), answers);
    QCOMPARE(asked, 0);
    const AudioBackendChoice system = AudioBackendChoice::choose(QStringLiteral("system"), answers);
    QCOMPARE(asked, 1);
    // The log says why: the server answered, not that the user asked.
    QVERIFY(system.reason().contains(QStringLiteral("answered")));
    QVERIFY(AudioBackendChoice::choose(QStringLiteral("system"), [] { return false; })
                .reason()
                .contains(QStringLiteral("no PipeWire")));
}

QTEST_GUILESS_MAIN(AudioBackendChoiceTest)
#include "AudioBackendChoiceTest.moc"
