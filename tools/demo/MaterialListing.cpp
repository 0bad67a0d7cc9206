// SPDX-License-Identifier: GPL-3.0-or-later
// Prints every syllable of the built-in tables, one line each, for the demo-installation
// generator: "<language code>\t<Silben81|Silben06>\t<recording base name>\t<syllable>".
#include "engine/MaterialTables.h"
#include "engine/ORVA_Experiment.h"

#include <QTextStream>

int main()
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    for (int language = 0; language < orva::NoLanguage; ++language) {
        const orva::MaterialTables &tables = orva::materialTables(language);
        const QString code = orva::languageCode(language);
        for (const QString &name : tables.trainingNames)
            out << code << "\tSilben81\t" << orva::recordingBaseName(name) << '\t' << name << '\n';
        for (const QString &name : tables.testNames)
            out << code << "\tSilben06\t" << orva::recordingBaseName(name) << '\t' << name << '\n';
    }
    return 0;
}
