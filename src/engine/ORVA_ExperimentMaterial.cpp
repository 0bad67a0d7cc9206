// SPDX-License-Identifier: GPL-3.0-or-later
// The syllable material of the run model: stocks and lists.
//
// Until the recordings and the language tables are built, every language uses a stand-in stock of
// six named syllables without sound, and one training and one test list over them.
#include "engine/ORVA_Experiment.h"
#include "support/Logger.h"

namespace orva {

namespace {

const char16_t *const kStandInNames[] = { u"ba", u"da", u"ga", u"ka", u"pa", u"ta" };

SyllableList standInList(const QString &label, int language)
{
    SyllableList list;
    list.label = label;
    list.language = language;
    int stockIndex = 0;
    for (const char16_t *name : kStandInNames)
        list.entries.append({ QString::fromUtf16(name), stockIndex++ });
    return list;
}

} // namespace

void ORVA_Experiment::buildStocksFromNameTables()
{
    m_trainStock.clear();
    m_testStock.clear();
    for (const char16_t *name : kStandInNames) {
        m_trainStock.emplace_back(QString::fromUtf16(name));
        m_testStock.emplace_back(QString::fromUtf16(name));
    }
}

bool ORVA_Experiment::readAudioData()
{
    logMessage(5, "ORVA_Experiment::readAudioData 000, lang = %s\n",
               m_languageCode.toUtf8().constData());
    logMessage(5, "ORVA_Experiment::readAudioData 999 9\n");
    return !m_trainStock.empty() && !m_testStock.empty();
}

void ORVA_Experiment::createSyllableLists()
{
    m_trainSyllableList.clear();
    m_testSyllableList.clear();
    m_trainSyllableList.addList(standInList(QStringLiteral("A1"), m_expLanguage));
    m_testSyllableList.addList(standInList(QStringLiteral("S0"), m_expLanguage));
}

} // namespace orva
