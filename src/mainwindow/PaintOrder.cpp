// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/PaintOrder.h"

#include "engine/ORVA_Experiment.h"
#include "support/Logger.h"

#include <QStringList>

#include <algorithm>

namespace orva {

PaintOrder getPaintOrder(const ORVA_Experiment &experiment)
{
    logMessage(1, "BEGIN: getPaintOrder\n");
    PaintOrder order;
    const int count = experiment.measurementCount();
    order.columns = QList<int>(count, 0);
    const ORVA_Proband &client = experiment.client();
    if (experiment.isTraining() && client.syllableSelection() == 1) {
        if (const SyllableList *list = experiment.runList(Training))
            order.groupSize = std::max<int>(1, list->entries.size());
    }
    const int n = order.groupSize;
    const bool inOrder = experiment.isTraining() && client.syllableSelection() == 3;
    const auto name = [&](int i) {
        const ORVA_Syllable *syllable = experiment.syllableOfMeasurement(i);
        return syllable ? syllable->name : QString();
    };
    int blockStart = 0;
    QStringList texts;
    const auto finishBlock = [&] {
        if (!inOrder)
            std::sort(texts.begin(), texts.end()); // by UTF-16 code units
        for (int i = blockStart; i < std::min(blockStart + n, count); ++i) {
            const int column = texts.indexOf(name(i));
            order.columns[i] = column < 0 ? 0 : column;
        }
        blockStart += n;
        texts.clear();
    };
    for (int i = 0; i < count; ++i) {
        const QString text = name(i);
        if (!texts.contains(text))
            texts.append(text);
        if (texts.size() == n)
            finishBlock();
    }
    if (!texts.isEmpty())
        finishBlock();
    logMessage(1, "END: getPaintOrder\n");
    return order;
}

} // namespace orva
