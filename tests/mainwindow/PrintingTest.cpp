// SPDX-License-Identifier: GPL-3.0-or-later
// Printing from the main window: the run's result from the menu, and the report view with its
// scroll bar, check boxes and "Drucken" button, on the demo installation with printouts to PDF.
#include "../report/PopplerTools.h"
#include "ScratchInstallation.h"
#include "TestTimers.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowContent.h"
#include "report/PrinterChooser.h"
#include "support/TextIds.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace orva;
using orva::test::TestTimers;

class PrintingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void menuPrintsTheFinishedPreTest();
    void nothingIsPrintedBeforeARun();
    void abortedRunIsPrintedOnlyWhenItsPrintModeSaysAlways();
    void reportViewScrollsSwitchesAndPrints();
    void pageTooSmallForTheReportIsSaidAndLeavesNoFile();

private:
    MainWindowContent &content() { return *m_content; }
    void runPreTest();
    QAction *menuAction(int command) const;

    QString m_demo;
    std::unique_ptr<test::ScratchInstallation> m_installation;
    std::unique_ptr<PdfPrinterChooser> m_printer;
    QString m_pdf;
    test::ManualClock m_clock;
    test::RecordingMessageBoxes m_boxes;
    std::unique_ptr<TestTimers> m_timers;
    std::unique_ptr<MainWindowContent> m_content;
    std::unique_ptr<MainWindow> m_window;
};

void PrintingTest::initTestCase()
{
    m_demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(m_demo + QStringLiteral("/media/de_de/Silben81/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    if (!poppler::available())
        QSKIP("poppler-utils (pdfinfo, pdftotext, pdftoppm) are not installed");
}

void PrintingTest::init()
{
    m_installation = std::make_unique<test::ScratchInstallation>(m_demo);
    m_pdf = m_installation->path(QStringLiteral("printout.pdf"));
    m_printer = std::make_unique<PdfPrinterChooser>(m_pdf);
    m_printer->setResolution(120);
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    StartupOptions options = m_installation->options();
    options.printers = m_printer.get();
    m_timers = std::make_unique<TestTimers>(m_clock);
    options.timers = m_timers.get();
    m_boxes.boxes.clear();
    m_content = std::make_unique<MainWindowContent>(options, m_clock, m_boxes);
    m_timers->timers.onTimer = [this](int id) { m_content->onTimer(id); };
    m_window = std::make_unique<MainWindow>(*m_content, m_content->strings());
    m_window->resize(1200, 860);
    QVERIFY(m_content->onCreate(m_window.get()));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_content->onShown();
    m_boxes.boxes.clear();
}

void PrintingTest::cleanup()
{
    m_window.reset();
    m_content.reset();
    m_timers.reset();
    m_installation.reset();
}

QAction *PrintingTest::menuAction(int command) const
{
    for (QAction *action : m_window->findChildren<QAction *>()) {
        if (action->data().toInt() == command)
            return action;
    }
    return nullptr;
}

void PrintingTest::runPreTest()
{
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    m_timers->timers.advanceMs(2250);
    for (int i = 0; i < 12; ++i) {
        m_timers->timers.advanceMs(450 + 10 * i);
        content().onAudioInput(m_clock.nowUs());
        m_timers->timers.advanceMs(m_timers->timers.msUntil(WaitTimer));
    }
    QCOMPARE(content().controller().runState(), RunState::Finished);
}

void PrintingTest::menuPrintsTheFinishedPreTest()
{
    runPreTest();
    QAction *print = menuAction(32822);
    QVERIFY(print && print->isEnabled());
    print->trigger();
    QCOMPARE(poppler::info(m_pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    QCOMPARE(poppler::info(m_pdf, QStringLiteral("Title")), QStringLiteral("ORVA Result.txt"));
    const QString text = poppler::text(m_pdf);
    QVERIFY2(text.contains(QStringLiteral("Modus: Vortest")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("12:")));
    QVERIFY(text.contains(QStringLiteral("Durchschnitt (12)")));
    QVERIFY(m_boxes.boxes.isEmpty()); // no box that the command is not there
}

void PrintingTest::nothingIsPrintedBeforeARun()
{
    QVERIFY(!menuAction(32822)->isEnabled());
    content().onCommand(32822);
    QVERIFY(!QFile::exists(m_pdf));
    QVERIFY(m_boxes.boxes.isEmpty());
}

void PrintingTest::abortedRunIsPrintedOnlyWhenItsPrintModeSaysAlways()
{
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    m_timers->timers.advanceMs(2250);
    for (int i = 0; i < 4; ++i) {
        m_timers->timers.advanceMs(450 + 10 * i);
        content().onAudioInput(m_clock.nowUs());
        m_timers->timers.advanceMs(m_timers->timers.msUntil(WaitTimer));
    }
    QTest::keyClick(m_window.get(), Qt::Key_F8);
    QCOMPARE(content().controller().runState(), RunState::Aborted);
    // The default, "only after a complete run", refuses it.
    content().onCommand(32822);
    QVERIFY(!QFile::exists(m_pdf));

    RunFileRules rules = content().controller().fileRules();
    rules.printMode[0] = 2; // pre-test: always
    content().controller().setFileRules(rules);
    content().menuSettings();
    QVERIFY(menuAction(32822)->isEnabled());
    menuAction(32822)->trigger();
    QCOMPARE(poppler::info(m_pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    const QString text = poppler::text(m_pdf);
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("(^|\\s)4: \\w+ +\\d+ms"))),
             qPrintable(text));
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("(^|\\s)5: \\w+"))));
}

void PrintingTest::reportViewScrollsSwitchesAndPrints()
{
    // A history of 150 runs, written by hand for the client.
    content().experiment().client().setLastName(QStringLiteral("Muster"));
    QString path;
    QCOMPARE(content().experiment().createLogFileName(path, true), 0);
    QString history = QStringLiteral("ORVA Logfile: Version 2.00.00\r\n[ExpList]\r\n");
    for (int i = 0; i < 150; ++i)
        history += QStringLiteral("[%1] 1 : %2 : 600 : 30 : 6 : 25 : 500\r\n")
                       .arg(i, 4)
                       .arg(1772359200 + i * 86400);
    history += QStringLiteral("[WordList]\r\n[0]ba:::3:7:8:450\r\n");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(history.toUtf8());
    file.close();

    QAction *view = menuAction(32843);
    QVERIFY(view && view->isEnabled());
    view->trigger();
    QVERIFY(content().isTrainingReportShown());
    auto *printButton = qobject_cast<QPushButton *>(content().child(1157));
    auto *showTests = qobject_cast<QCheckBox *>(content().child(1158));
    auto *showSyllables = qobject_cast<QCheckBox *>(content().child(1159));
    auto *close = qobject_cast<QPushButton *>(content().child(1021));
    for (QWidget *widget :
         { static_cast<QWidget *>(printButton), static_cast<QWidget *>(showTests),
           static_cast<QWidget *>(showSyllables), static_cast<QWidget *>(close) }) {
        QVERIFY(widget && widget->isVisible() && widget->isEnabled());
    }
    QCOMPARE(close->text(), QStringLiteral("Beenden"));
    QWidget *chart = content().child(1012);
    chart->repaint(); // the paint tells the scroll bar how tall the report is
    auto *scrollBar = qobject_cast<QScrollBar *>(content().child(1050));
    QCOMPARE(content().experiment().userLog().entries().size(), 150);
    QVERIFY(scrollBar->isVisible());
    QVERIFY2(scrollBar->maximum() > 150 * 15, qPrintable(QString::number(scrollBar->maximum())));
    QDir().mkpath(QStringLiteral("artefacts"));
    m_window->grab().save(QStringLiteral("artefacts/report-view.png"));

    // A wheel notch towards the user over the report moves it down one line step.
    QWidget *canvas = m_window->centralWidget();
    const QPointF over = chart->geometry().center();
    QWheelEvent wheel(over, canvas->mapToGlobal(over), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    QCOMPARE(scrollBar->value(), 50);
    scrollBar->triggerAction(QAbstractSlider::SliderToMaximum);
    chart->repaint();
    m_window->grab().save(QStringLiteral("artefacts/report-view-end.png"));

    // Without the runs table the report fits the panel: the bar goes.
    QTest::mouseClick(showTests, Qt::LeftButton);
    QVERIFY(!showTests->isChecked());
    chart->repaint();
    QCoreApplication::processEvents(); // the repaint of the scrolled-back panel
    QVERIFY(!scrollBar->isVisible());

    QTest::mouseClick(printButton, Qt::LeftButton);
    QCOMPARE(poppler::info(m_pdf, QStringLiteral("Title")), QStringLiteral("ORVA Übungsbericht"));
    const QString text = poppler::text(m_pdf);
    QVERIFY2(
        text.contains(QRegularExpression(QStringLiteral("Anzahl durchgeführter Übungen: +150"))),
        qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Trainierte Silben:")));
    QVERIFY(!text.contains(
        QRegularExpression(QStringLiteral("^ *Übungen:"), QRegularExpression::MultilineOption)));

    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!content().isTrainingReportShown());
    QVERIFY(!scrollBar->isVisible());
}

void PrintingTest::pageTooSmallForTheReportIsSaidAndLeavesNoFile()
{
    m_printer->setPageSize(
        QPageSize(QSizeF(50, 30), QPageSize::Millimeter, QStringLiteral("label")));
    content().onCommand(32843);
    content().onCommand(1157);
    QVERIFY(!QFile::exists(m_pdf));
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].text, content().strings().text(Text::kReportPageTooSmall));
}

QTEST_MAIN(PrintingTest)
#include "PrintingTest.moc"
