// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/PrinterChooser.h"

namespace orva {

/// The desktop's print dialog, modal over `owner`. UI thread only.
class DialogPrinterChooser final : public PrinterChooser
{
public:
    bool choose(QPrinter &printer, QWidget *owner, bool singlePage) override;
};

} // namespace orva
