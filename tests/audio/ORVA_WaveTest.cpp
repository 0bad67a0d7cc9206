// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ORVA_Wave.h"

#include "WavBytes.h"
#include "fakes/RecordingMessageBoxes.h"
#include "support/ErrorReport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;
using orva::test::WavBytes;

class ORVA_WaveTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadsFormatAndSamples_data();
    void loadsFormatAndSamples();
    void rejectsDamagedFiles_data();
    void rejectsDamagedFiles();
    void loadFailureIsReportedTwice();
    void missingFileIsReportedOnceAndEmptyPathNotAtAll();
    void recordingFarLargerThanAnySyllableIsRefusedUnread();
    void eightBitSamplesRoundTrip();
    void sixteenBitSamplesClip();
    void stereoSecondLastsOneSecond();
    void setFormatChecksRateAndSize();
    void copiesKeepValuesAcrossBlocks();
    void mixInRampsTheNoiseOverTwentyMilliseconds();
    void mixInLeavesTheRestBeyondTheOtherWave();
    void mixInClipsWithoutNormalising();
    void survivesTheFuzzFindings();

private:
    test::RecordingMessageBoxes m_boxes;
    QTemporaryDir m_dir;
};

void ORVA_WaveTest::init()
{
    m_boxes.boxes.clear();
    setErrorBoxes(&m_boxes);
}

void ORVA_WaveTest::cleanup()
{
    setErrorBoxes(nullptr);
}

void ORVA_WaveTest::loadsFormatAndSamples_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("samples");
    const QByteArray data = WavBytes::samples16({ 1, -2, 3, -4 });
    QTest::newRow("plain") << WavBytes::wav16(1, 44100, data) << 1 << 4;
    QTest::newRow("fmt of 18 bytes") << WavBytes::riff(
        { WavBytes::chunk("fmt ", WavBytes::format(1, 44100, 16) + WavBytes::u16(0)),
          WavBytes::chunk("data", data) })
                                     << 1 << 4;
    QTest::newRow("fmt of 40 bytes") << WavBytes::riff(
        { WavBytes::chunk("fmt ", WavBytes::format(2, 22050, 16) + QByteArray(24, 'x')),
          WavBytes::chunk("data", data) })
                                     << 2 << 4;
    QTest::newRow("LIST between fmt and data")
        << WavBytes::riff({ WavBytes::chunk("fmt ", WavBytes::format(1, 44100, 16)),
                            WavBytes::chunk("LIST", "INFOabc"), WavBytes::chunk("data", data) })
        << 1 << 4;
    QTest::newRow("unknown chunk first, odd size padded") << WavBytes::riff(
        { WavBytes::chunk("junk", "x"), WavBytes::chunk("fmt ", WavBytes::format(1, 44100, 16)),
          WavBytes::chunk("data", data) }) << 1 << 4;
    QTest::newRow("odd data size") << WavBytes::wav16(1, 44100, data + "z") << 1 << 4;
}

void ORVA_WaveTest::loadsFormatAndSamples()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, channels);
    QFETCH(int, samples);
    const QString path = m_dir.filePath(QStringLiteral("ok.wav"));
    QVERIFY(WavBytes::write(path, bytes));
    ORVA_Wave wave;
    QVERIFY(wave.loadFile(path));
    QCOMPARE(wave.format().channels, channels);
    QCOMPARE(wave.format().bitsPerSample, 16);
    QCOMPARE(wave.sampleCount(), samples);
    QCOMPARE(wave.getSample(1), -2);
    QCOMPARE(wave.getSample(3), -4);
    QCOMPARE(wave.getSample(4), 0);
    QCOMPARE(wave.blockCount(), 1);
    QVERIFY(m_boxes.boxes.isEmpty());
}

void ORVA_WaveTest::rejectsDamagedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray data = WavBytes::samples16({ 1, 2 });
    const QByteArray fmt = WavBytes::chunk("fmt ", WavBytes::format(1, 44100, 16));
    QTest::newRow("empty") << QByteArray() << "Wave::Load : Not a RIFF or WAVE file";
    QTest::newRow("RIFF tag only") << QByteArray("RIFF") << "Wave::Load : Not a RIFF or WAVE file";
    QTest::newRow("AVI form") << QByteArray("RIFF\4\0\0\0AVI ")
                              << "Wave::Load : Not a RIFF or WAVE file";
    QTest::newRow("no fmt") << WavBytes::riff({ WavBytes::chunk("data", data) })
                            << "Wave::Load : No fmt chunk in file";
    QTest::newRow("fmt of 14 bytes")
        << WavBytes::riff({ WavBytes::chunk("fmt ", WavBytes::format(1, 44100, 16).left(14)),
                            WavBytes::chunk("data", data) })
        << "Wave::Load : Failed to read fmt chunk";
    QTest::newRow("fmt cut off by the file's end")
        << WavBytes::riff({ fmt }).left(30) << "Wave::Load : Failed to read fmt chunk";
    QTest::newRow("extensible") << WavBytes::riff(
        { WavBytes::chunk("fmt ", WavBytes::format(1, 44100, 16, 0xFFFE) + QByteArray(24, '\0')),
          WavBytes::chunk("data", data) })
                                << "Wave::Load : Not a PCM file";
    QTest::newRow("data before fmt") << WavBytes::riff({ WavBytes::chunk("data", data), fmt })
                                     << "Wave::Load : No data chunk in file";
    QTest::newRow("no data") << WavBytes::riff({ fmt }) << "Wave::Load : No data chunk in file";
    QByteArray longer = WavBytes::riff({ fmt, "data" + WavBytes::u32(1000000) + data });
    QTest::newRow("data size beyond the file")
        << longer << "Wave::Load : Failed to read data chunk";
    QByteArray huge = WavBytes::riff({ fmt, "data" + WavBytes::u32(0xFFFFFFFF) + data });
    QTest::newRow("data size of 4 GiB") << huge << "Wave::Load : Failed to read data chunk";
    QByteArray chunkSizeWraps = WavBytes::riff({ "junk" + WavBytes::u32(0xFFFFFFFE), fmt });
    QTest::newRow("chunk size past the end")
        << chunkSizeWraps << "Wave::Load : No fmt chunk in file";
}

void ORVA_WaveTest::rejectsDamagedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const Result<RiffWave> parsed = parseRiffWave(bytes);
    QVERIFY(!parsed.ok());
    QCOMPARE(parsed.error(), message);
}

void ORVA_WaveTest::loadFailureIsReportedTwice()
{
    const QString path = m_dir.filePath(QStringLiteral("bad.wav"));
    QVERIFY(
        WavBytes::write(path,
                        WavBytes::riff({ WavBytes::chunk("fmt ", WavBytes::format(1, 44100, 16, 3)),
                                         WavBytes::chunk("data", "xx") })));
    ORVA_Wave wave;
    QVERIFY(wave.setFormat(22050, 16));
    wave.appendBlock(QByteArray(20, '\1'));
    QVERIFY(!wave.loadFile(path));
    QCOMPARE(m_boxes.boxes.size(), 2);
    // Both name the file, so that the operator knows which recording to replace.
    QCOMPARE(m_boxes.boxes[0].text, QStringLiteral("Wave::Load : Not a PCM file: ") + path);
    QCOMPARE(m_boxes.boxes[1].text, QStringLiteral("Load WAV-File: Failed to load file: ") + path);
    QCOMPARE(m_boxes.boxes[1].title, QStringLiteral("Error"));
    QCOMPARE(wave.sampleCount(), 0); // the old samples are gone
    QCOMPARE(wave.format().sampleRate, 22050u); // the format stays
}

void ORVA_WaveTest::missingFileIsReportedOnceAndEmptyPathNotAtAll()
{
    ORVA_Wave wave;
    QVERIFY(!wave.loadFile(QString()));
    QVERIFY(m_boxes.boxes.isEmpty());
    QVERIFY(!wave.loadFile(m_dir.filePath(QStringLiteral("missing.wav"))));
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].text,
             QStringLiteral("Load WAV-File: Couldnt create file handle: ")
                 + m_dir.filePath(QStringLiteral("missing.wav")));
}

void ORVA_WaveTest::recordingFarLargerThanAnySyllableIsRefusedUnread()
{
    const QString path = m_dir.filePath(QStringLiteral("huge.wav"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(WavBytes::riff({ WavBytes::chunk("fmt ", WavBytes::format(1, 44100, 16, 1)) }));
    QVERIFY(file.resize(ORVA_Wave::kMaxFileBytes + 1)); // sparse: no disk space taken
    file.close();
    ORVA_Wave wave;
    QVERIFY(!wave.loadFile(path));
    QCOMPARE(m_boxes.boxes.size(), 1);
    QVERIFY2(m_boxes.boxes[0].text.contains(QLatin1String("256 MB")),
             qPrintable(m_boxes.boxes[0].text));
    QVERIFY(m_boxes.boxes[0].text.endsWith(path));
}

void ORVA_WaveTest::eightBitSamplesRoundTrip()
{
    ORVA_Wave wave;
    QVERIFY(wave.setFormat(11025, 8));
    wave.appendBlock(QByteArray(3, char(128)));
    wave.setSample(0, 18432);
    QCOMPARE(static_cast<quint8>(wave.block(0)[0]), 200);
    QCOMPARE(wave.getSample(0), 18432);
    wave.setSample(1, 40000);
    QCOMPARE(static_cast<quint8>(wave.block(0)[1]), 255);
    wave.setSample(2, -300);
    QCOMPARE(static_cast<quint8>(wave.block(0)[2]), 127); // -1 truncated toward zero
    QCOMPARE(wave.getSample(1), 127 * 256);
}

void ORVA_WaveTest::sixteenBitSamplesClip()
{
    ORVA_Wave wave;
    QVERIFY(wave.setFormat(44100, 16));
    wave.appendBlock(QByteArray(4, '\0'));
    wave.setSample(0, 40000);
    wave.setSample(1, -40000);
    wave.setSample(2, 5); // beyond the end: nothing
    QCOMPARE(wave.getSample(0), 32767);
    QCOMPARE(wave.getSample(1), -32768);
    QCOMPARE(wave.sampleCount(), 2);
}

void ORVA_WaveTest::stereoSecondLastsOneSecond()
{
    const QString path = m_dir.filePath(QStringLiteral("stereo.wav"));
    QVERIFY(WavBytes::write(path, WavBytes::wav16(2, 44100, QByteArray(44100 * 4, '\0'))));
    ORVA_Wave wave;
    QVERIFY(wave.loadFile(path));
    QCOMPARE(wave.sampleCount(), 88200);
    QCOMPARE(wave.durationMs(), 1000);
}

void ORVA_WaveTest::setFormatChecksRateAndSize()
{
    ORVA_Wave wave;
    QVERIFY(!wave.setFormat(48000, 16));
    QCOMPARE(m_boxes.boxes.last().text, QStringLiteral("Invalid sample rate: 48000"));
    QVERIFY(!wave.setFormat(44100, 24));
    QCOMPARE(m_boxes.boxes.last().text, QStringLiteral("Invalid sample size: 24"));
    QVERIFY(wave.setFormat(44100, 16));
    QCOMPARE(wave.format(), (WaveFormat { 1, 1, 44100, 88200, 2, 16 }));
}

void ORVA_WaveTest::copiesKeepValuesAcrossBlocks()
{
    ORVA_Wave wave;
    QVERIFY(wave.setFormat(44100, 16));
    wave.appendBlock(WavBytes::samples16({ 10, 20 }));
    wave.appendBlock(WavBytes::samples16({ 30 }));
    ORVA_Wave copy(wave);
    QCOMPARE(copy.blockCount(), 2);
    QCOMPARE(copy.getSample(2), 30);
    ORVA_Wave assigned;
    assigned = wave;
    QCOMPARE(assigned.sampleCount(), 3);
    QCOMPARE(assigned.getSample(1), 20);
    assigned = assigned; // self-assignment keeps the samples
    QCOMPARE(assigned.getSample(0), 10);
}

void ORVA_WaveTest::mixInRampsTheNoiseOverTwentyMilliseconds()
{
    const int n = 4000;
    ORVA_Wave syllable;
    QVERIFY(syllable.setFormat(44100, 16));
    syllable.appendBlock(QByteArray(n * 2, '\0'));
    ORVA_Wave noise;
    QVERIFY(noise.setFormat(44100, 16));
    noise.appendBlock(WavBytes::samples16(QList<qint16>(n, 8820)));
    QVERIFY(syllable.mixIn(noise, 0.5, 1.0));
    QCOMPARE(syllable.getSample(0), 0); // the envelope starts at 0
    QCOMPARE(syllable.getSample(1), static_cast<int>(8820 * 0.5 * (1.0 / 882)));
    for (int i = 883; i <= n - 881; ++i)
        QCOMPARE(syllable.getSample(i), 4410);
    QVERIFY(syllable.getSample(n - 1) < 4410);
}

void ORVA_WaveTest::mixInLeavesTheRestBeyondTheOtherWave()
{
    ORVA_Wave syllable;
    QVERIFY(syllable.setFormat(44100, 16));
    syllable.appendBlock(WavBytes::samples16(QList<qint16>(1000, 1234)));
    ORVA_Wave noise;
    QVERIFY(noise.setFormat(44100, 16));
    noise.appendBlock(WavBytes::samples16(QList<qint16>(500, 1000)));
    QVERIFY(syllable.mixIn(noise, 1.0, 1.0));
    for (int i = 500; i < 1000; ++i)
        QCOMPARE(syllable.getSample(i), 1234);
    QCOMPARE(syllable.sampleCount(), 1000);
}

void ORVA_WaveTest::mixInClipsWithoutNormalising()
{
    ORVA_Wave syllable;
    QVERIFY(syllable.setFormat(44100, 16));
    syllable.appendBlock(WavBytes::samples16(QList<qint16>(2000, 30000)));
    ORVA_Wave noise = syllable;
    QVERIFY(syllable.mixIn(noise, 1.0, 1.0));
    QCOMPARE(syllable.getSample(1000), 32767);
    QCOMPARE(syllable.getSample(0), 30000);
}

void ORVA_WaveTest::survivesTheFuzzFindings()
{
    const QDir findings(QStringLiteral(ORVA_AUDIO_TEST_DATA "/fuzz-regressions"));
    for (const QFileInfo &file : findings.entryInfoList(QDir::Files)) {
        if (file.fileName() == QLatin1String("README"))
            continue;
        QFile input(file.filePath());
        QVERIFY(input.open(QIODevice::ReadOnly));
        const QByteArray bytes = input.readAll();
        const Result<RiffWave> wave = parseRiffWave(bytes);
        if (wave.ok())
            QVERIFY(wave.value().data.size() <= bytes.size());
    }
}

QTEST_GUILESS_MAIN(ORVA_WaveTest)
#include "ORVA_WaveTest.moc"
