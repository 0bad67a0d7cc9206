// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TemplateDialog.h"

#include "dialogs/QS_ListControl.h"
#include "report/DrawingSurface.h"
#include "support/Languages.h"
#include "support/StringTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

using namespace orva;

namespace {

/// The class each control kind must become.
const char *widgetClass(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Static:
    case ControlKind::Icon:
        return "QLabel";
    case ControlKind::GroupBox:
        return "QGroupBox";
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
        return "QPushButton";
    case ControlKind::RadioButton:
        return "QRadioButton";
    case ControlKind::CheckBox:
        return "QCheckBox";
    case ControlKind::DropDownList:
        return "QComboBox";
    case ControlKind::Edit:
        return "QLineEdit";
    case ControlKind::TrackBar:
        return "QSlider";
    case ControlKind::ProgressBar:
        return "QProgressBar";
    case ControlKind::ReportList:
        return "orva::QS_ListControl";
    case ControlKind::PaintedStatic:
        return "QFrame";
    }
    return "";
}

/// A template of every kind, for the builder alone.
DialogTemplate everyKind()
{
    DialogTemplate all;
    all.id = 999;
    all.size = QSize(200, 200);
    all.titleId = 147;
    int id = 3000;
    int y = 0;
    for (ControlKind kind :
         { ControlKind::Static, ControlKind::GroupBox, ControlKind::PushButton,
           ControlKind::DefaultPushButton, ControlKind::RadioButton, ControlKind::CheckBox,
           ControlKind::DropDownList, ControlKind::Edit, ControlKind::TrackBar,
           ControlKind::ProgressBar, ControlKind::ReportList, ControlKind::PaintedStatic,
           ControlKind::Icon }) {
        DialogControl control;
        control.id = id++;
        control.kind = kind;
        control.rect = QRect(4, y, 100, 12);
        all.controls.append(control);
        y += 14;
    }
    return all;
}

Result<StringTable> loadTable(int language)
{
    return StringTable::load(
        QStringLiteral(ORVA_RESOURCES_DIR "/strings/%1.txt").arg(languageCode(language)));
}

} // namespace

class TemplateDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void everyTemplateLoadsAtItsRectangles_data();
    void everyTemplateLoadsAtItsRectangles();
    void everyTemplateTextIsInEveryLanguage_data();
    void everyTemplateTextIsInEveryLanguage();
    void everyControlKindBecomesItsWidget();
    void radioGroupsFollowTheGroupStartAndMayHoldNoCheck();
    void buttonOneAcceptsAndButtonTwoRejects();
    void toolTipsComeFromTheControls();
    void paintedStaticPaintsThroughTheDrawingSurface();
};

void TemplateDialogTest::everyTemplateLoadsAtItsRectangles_data()
{
    QTest::addColumn<int>("index");
    const QList<const DialogTemplate *> templates = DialogTemplates::all();
    for (int index = 0; index < templates.size(); ++index)
        QTest::newRow(qPrintable(QString::number(templates[index]->id))) << index;
}

void TemplateDialogTest::everyTemplateLoadsAtItsRectangles()
{
    QFETCH(int, index);
    const DialogTemplate &source = *DialogTemplates::all().at(index);
    const StringTable &german = StringTable::german();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);

    TemplateDialog dialog(source, german, nullptr, &font);

    const DialogUnits units = DialogUnits::fromFont(font);
    QCOMPARE(dialog.size(), units.toPixels(source.size));
    QCOMPARE(dialog.windowTitle(), german.text(source.titleId));
    QVERIFY(!dialog.windowTitle().startsWith(u'#'));
    int defaultButtons = 0;
    for (const DialogControl &control : source.controls) {
        if (control.id == DialogControl::kNoId)
            continue;
        const QString name = QStringLiteral("control %1").arg(control.id);
        QWidget *widget = dialog.control(control.id);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(widget->inherits(widgetClass(control.kind)), qPrintable(name));
        const QRect pixels = units.toPixels(control.rect);
        if (control.kind == ControlKind::DropDownList) // the closed box is one line high
            QCOMPARE(widget->geometry().topLeft(), pixels.topLeft());
        else
            QCOMPARE(widget->geometry(), pixels);
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            QCOMPARE(button->isDefault(), control.kind == ControlKind::DefaultPushButton);
            defaultButtons += button->isDefault() ? 1 : 0;
            QCOMPARE(button->text(), german.text(source.textKey(control)));
        }
    }
    QCOMPARE(defaultButtons, 1);
    // Controls without an id still carry their texts.
    QStringList shown;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        shown << label->text();
    for (const DialogControl &control : source.controls) {
        if (control.kind == ControlKind::Static && !control.textKey.isEmpty())
            QVERIFY2(shown.contains(german.text(source.textKey(control))),
                     qPrintable(source.textKey(control)));
    }
}

void TemplateDialogTest::everyTemplateTextIsInEveryLanguage_data()
{
    QTest::addColumn<int>("language");
    for (int language = 0; language < 6; ++language)
        QTest::newRow(qPrintable(languageCode(language))) << language;
}

void TemplateDialogTest::everyTemplateTextIsInEveryLanguage()
{
    QFETCH(int, language);
    const Result<StringTable> table = loadTable(language);
    QVERIFY2(table.ok(), qPrintable(table.error()));

    QStringList missing;
    for (const DialogTemplate *source : DialogTemplates::all()) {
        if (!table.value().contains(source->titleId)
            || table.value().text(source->titleId).trimmed().isEmpty())
            missing << QStringLiteral("%1 (caption of %2)").arg(source->titleId).arg(source->id);
        for (const DialogControl &control : source->controls) {
            if (control.textKey.isEmpty())
                continue;
            const QString key = source->textKey(control);
            if (!table.value().contains(key) || table.value().text(key).trimmed().isEmpty())
                missing << key;
        }
    }
    // The texts the dialogs fill in at run time: the language names and the tool tips.
    for (int id : { 309, 310, 311, 357, 363, 145, 207, 205, 206, 253 }) {
        if (!table.value().contains(id))
            missing << QString::number(id);
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
}

void TemplateDialogTest::everyControlKindBecomesItsWidget()
{
    const DialogTemplate all = everyKind();
    TemplateDialog dialog(all, StringTable::german());
    for (const DialogControl &control : all.controls) {
        QWidget *widget = dialog.control(control.id);
        QVERIFY2(widget && widget->inherits(widgetClass(control.kind)),
                 qPrintable(QString::number(int(control.kind))));
        QCOMPARE(widget->parentWidget(), &dialog);
    }
    // The frame of a group box lies behind the controls drawn over it.
    const QObjectList children = dialog.children();
    QVERIFY(children.indexOf(dialog.control(3001)) < children.indexOf(dialog.control(3000)));
}

void TemplateDialogTest::radioGroupsFollowTheGroupStartAndMayHoldNoCheck()
{
    TemplateDialog dialog(DialogTemplates::options(), StringTable::german());
    QSet<QButtonGroup *> groups;
    for (int first = 1115; first <= 1130; first += 3) {
        QButtonGroup *group = dialog.radioGroup(first);
        QVERIFY(group);
        QCOMPARE(group->buttons().size(), 3);
        QCOMPARE(dialog.radioGroup(first + 1), group);
        QCOMPARE(dialog.radioGroup(first + 2), group);
        groups.insert(group);
    }
    QCOMPARE(groups.size(), 6);

    QButtonGroup *group = dialog.radioGroup(1115);
    dialog.checkInGroup(group, 1116);
    QCOMPARE(group->checkedId(), 1116);
    dialog.checkInGroup(group, -1);
    QCOMPARE(group->checkedId(), -1);
    QVERIFY(group->exclusive());
    dialog.checkInGroup(group, 1117); // still exclusive afterwards
    dialog.checkInGroup(group, 1115);
    QCOMPARE(group->checkedId(), 1115);
    QVERIFY(!dialog.controlAs<QRadioButton>(1117)->isChecked());
}

void TemplateDialogTest::buttonOneAcceptsAndButtonTwoRejects()
{
    TemplateDialog accepted(DialogTemplates::language(), StringTable::german());
    accepted.show();
    QTest::keyClick(&accepted, Qt::Key_Return);
    QCOMPARE(accepted.result(), int(QDialog::Accepted));

    TemplateDialog rejected(DialogTemplates::language(), StringTable::german());
    rejected.setResult(QDialog::Accepted);
    QTest::mouseClick(rejected.controlAs<QPushButton>(2), Qt::LeftButton);
    QCOMPARE(rejected.result(), int(QDialog::Rejected));
}

void TemplateDialogTest::toolTipsComeFromTheControls()
{
    const StringTable &german = StringTable::german();
    TemplateDialog dialog(DialogTemplates::options(), german);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.toolTip().areas().size(), 3);
    const QPoint edit = dialog.control(1039)->geometry().center();
    QCOMPARE(dialog.toolTip().textAt(edit), german.text(253));
    QCOMPARE(dialog.toolTip().textAt(dialog.control(1)->geometry().center()), german.text(205));
    QCOMPARE(dialog.toolTip().textAt(dialog.control(2)->geometry().center()), german.text(206));
    QVERIFY(dialog.toolTip().textAt(dialog.control(1115)->geometry().center()).isEmpty());

    // Moving the mouse over a control starts the rest time; a click starts it again.
    QVERIFY(!dialog.isToolTipTimerActive());
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::mouseMove(dialog.control(1039), QPoint(5, 5));
    QTRY_VERIFY(dialog.isToolTipTimerActive());

    // The rest time is over: the box shows the edit's text below the cursor.
    dialog.toolTip().timer();
    QVERIFY(dialog.toolTip().isShown());
    const auto isBox = [](const QLabel *label) { return label->windowType() == Qt::ToolTip; };
    const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
    const auto box = std::find_if(labels.begin(), labels.end(), isBox);
    QVERIFY(box != labels.end());
    QVERIFY((*box)->isVisible());
    QCOMPARE((*box)->text(), german.text(253));
    QVERIFY((*box)->geometry().top() > dialog.control(1039)->mapToGlobal(QPoint(5, 5)).y());
    dialog.hide();
    QVERIFY(!(*box)->isVisible());
    QVERIFY(!dialog.isToolTipTimerActive());
}

void TemplateDialogTest::paintedStaticPaintsThroughTheDrawingSurface()
{
    TemplateDialog dialog(everyKind(), StringTable::german());
    int paints = 0;
    QRect surfaceRect;
    dialog.setPainter(3011, [&](DrawingSurface &surface) {
        ++paints;
        surfaceRect = surface.rect();
        surface.fillRect(96, false, false, surface.rect()); // red(1)
    });
    QWidget *area = dialog.control(3011);
    const QImage image = area->grab().toImage();
    QVERIFY(paints > 0);
    QCOMPARE(surfaceRect.size(), area->size());
    QCOMPARE(QColor(image.pixel(area->width() / 2, area->height() / 2)), QColor(255, 0, 0));
}

QTEST_MAIN(TemplateDialogTest)
#include "TemplateDialogTest.moc"
