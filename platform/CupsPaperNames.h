#pragma once
// Paper sizes by the names the print system gives them.
#include <QPageSize>
#include <QString>

namespace platform::cupsdetail {

// A paper by any name libcups knows: a PWG keyword ("na_letter_8.5x11in"), a PPD or legacy name
// ("Letter", "A4"), or a lower-case one ("a4", as /etc/papersize has it). A media value may
// list a source or type beside the size. Invalid when none is known.
QPageSize PageOf(const QString& names);
// Hundredths of a millimetre, as IPP gives lengths, in points.
double Points(int hundredthsMm);

} // namespace platform::cupsdetail
