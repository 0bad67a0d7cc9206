// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/OwnSyllableListDialog.h"

#include "engine/ORVA_Experiment.h"
#include "fakes/ScriptedDialogRunner.h"
#include "support/StringTable.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace orva;
using orva::test::ScriptedDialogRunner;

namespace {

QPoint cellCentre(QWidget *grid, int index, int rows)
{
    return QPoint(grid->width() / 10 * (index % 10) + grid->width() / 20,
                  grid->height() / rows * (index / 10) + grid->height() / rows / 2);
}

void pressOk(QDialog &dialog)
{
    static_cast<TemplateDialog &>(dialog).controlAs<QPushButton>(1)->click();
}

} // namespace

class OwnSyllableListDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void opensEmptyWithItsTexts();
    void clicksSelectAndTakeOverFillsTheList();
    void nameIsCheckedBeforeTheListIsAdded_data();
    void nameIsCheckedBeforeTheListIsAdded();
    void nameEditRefusesWhiteSpace();
    void emptyListAsksAndYesAddsNothing();

private:
    std::unique_ptr<ORVA_Experiment> m_model;
    int m_rows = 0;
};

void OwnSyllableListDialogTest::init()
{
    m_model = std::make_unique<ORVA_Experiment>();
    m_model->setLanguage(DE_DE, false, false);
    m_model->createSyllableLists();
    m_rows = int(m_model->trainStock().size()) / 10 + 1;
}

void OwnSyllableListDialogTest::opensEmptyWithItsTexts()
{
    ScriptedDialogRunner runner;
    OwnSyllableListDialog own(StringTable::german(), *m_model, runner);
    QCOMPARE(own.dialog().windowTitle(), QStringLiteral("ORVA: Eigene Liste"));
    QCOMPARE(own.dialog().controlAs<QLabel>(OwnSyllableListDialog::kExplanationId)->text(),
             StringTable::german().text(303));
    QVERIFY(own.draft().syllables().isEmpty());
}

void OwnSyllableListDialogTest::clicksSelectAndTakeOverFillsTheList()
{
    ScriptedDialogRunner runner;
    const int rows = m_rows;
    const int ba = m_model->findInTrainStock(QStringLiteral("ba"));
    const int ga = m_model->findInTrainStock(QStringLiteral("ga"));
    QList<int> afterReplace;
    runner.scripts << [&, rows, ba, ga](QDialog &dialog) {
        auto &d = static_cast<TemplateDialog &>(dialog);
        QWidget *grid = d.control(OwnSyllableListDialog::kGridId);
        QWidget *list = d.control(OwnSyllableListDialog::kListId);
        auto *takeOver = d.controlAs<QPushButton>(OwnSyllableListDialog::kTakeOverId);
        QTest::mouseClick(grid, Qt::LeftButton, {}, cellCentre(grid, ba, rows));
        for (int i = 0; i < 7; ++i) // the seventh takes nothing
            takeOver->click();
        // The second slot: replaced, and it stays highlighted.
        QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(list->width() / 6 + 3, 5));
        QTest::mouseDClick(grid, Qt::LeftButton, {}, cellCentre(grid, ga, rows));
        QTest::keyClicks(d.control(OwnSyllableListDialog::kNameId), QStringLiteral("Sechs"));
        pressOk(dialog);
    };
    OwnSyllableListDialog own(StringTable::german(), *m_model, runner);
    QVERIFY(own.run());
    QCOMPARE(own.draft().syllables(), QList<int>({ ba, ga, ba, ba, ba, ba }));
    QCOMPARE(own.draft().listPosition(), 1);
    QCOMPARE(m_model->trainSyllableList().lists().last().displayText(),
             QStringLiteral("{ Sechs } ba ga ba ba ba ba"));
}

void OwnSyllableListDialogTest::nameIsCheckedBeforeTheListIsAdded_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("message");
    QTest::newRow("empty") << QString() << 296;
    QTest::newRow("six characters") << "Meine1" << 307;
    QTest::newRow("nine and more") << "Meine1Liste" << 307;
}

void OwnSyllableListDialogTest::nameIsCheckedBeforeTheListIsAdded()
{
    QFETCH(QString, name);
    QFETCH(int, message);
    ScriptedDialogRunner runner;
    bool stayedOpen = false;
    const int lists = m_model->trainSyllableList().size();
    runner.scripts << [&](QDialog &dialog) {
        auto &d = static_cast<TemplateDialog &>(dialog);
        d.controlAs<QPushButton>(OwnSyllableListDialog::kTakeOverId)->click();
        QTest::keyClicks(d.control(OwnSyllableListDialog::kNameId), name);
        pressOk(dialog);
        stayedOpen = dialog.isVisible();
        dialog.reject();
    };
    OwnSyllableListDialog own(StringTable::german(), *m_model, runner);
    QVERIFY(!own.run());
    QVERIFY(stayedOpen);
    QCOMPARE(runner.boxes.boxes.size(), 1);
    QCOMPARE(runner.boxes.boxes[0].text, StringTable::german().text(message));
    QCOMPARE(runner.boxes.boxes[0].title, StringTable::german().text(110));
    QCOMPARE(m_model->trainSyllableList().size(), lists);
}

void OwnSyllableListDialogTest::nameEditRefusesWhiteSpace()
{
    ScriptedDialogRunner runner;
    OwnSyllableListDialog own(StringTable::german(), *m_model, runner);
    auto *edit = own.dialog().controlAs<QLineEdit>(OwnSyllableListDialog::kNameId);
    QTest::keyClicks(edit, QStringLiteral("a b\tc"));
    QCOMPARE(edit->text(), QStringLiteral("abc"));
    edit->clear();
    edit->insert(QStringLiteral("x y")); // a paste
    QVERIFY(!edit->text().contains(u' '));
}

void OwnSyllableListDialogTest::emptyListAsksAndYesAddsNothing()
{
    ScriptedDialogRunner runner;
    runner.boxes.answers = { MessageAnswer::No, MessageAnswer::Yes };
    QList<bool> open;
    runner.scripts << [&](QDialog &dialog) {
        QTest::keyClicks(
            static_cast<TemplateDialog &>(dialog).control(OwnSyllableListDialog::kNameId),
            QStringLiteral("Leer"));
        pressOk(dialog);
        open << dialog.isVisible();
        pressOk(dialog);
        open << dialog.isVisible();
    };
    const int lists = m_model->trainSyllableList().size();
    OwnSyllableListDialog own(StringTable::german(), *m_model, runner);
    QVERIFY(!own.run());
    QCOMPARE(open, QList<bool>({ true, false }));
    QCOMPARE(runner.boxes.boxes.size(), 2);
    QCOMPARE(runner.boxes.boxes[0].text, StringTable::german().text(302));
    QCOMPARE(m_model->trainSyllableList().size(), lists);
}

QTEST_MAIN(OwnSyllableListDialogTest)
#include "OwnSyllableListDialogTest.moc"
