#pragma once
// The edges of a paper the printer cannot print on, as libcups reads the printer's media.
#include "platform/CupsSavedOptions.h"

#include <QMarginsF>

namespace platform::cupsdetail {

// The printer's media as libcups keeps them (cupsCopyDestInfo: its media database, default and
// margins), asked once on the program's own connection; nothing is asked for no destination.
class PaperEdges {
public:
    PaperEdges(Connection& http, cups_dest_t* dest);
    ~PaperEdges();
    PaperEdges(const PaperEdges&) = delete;
    PaperEdges& operator=(const PaperEdges&) = delete;
    // In points: libcups' entry of the printer for that size (the smallest edges that are not
    // borderless), else those of its default paper; none where the printer names none.
    QMarginsF Of(const QPageSize& page) const;

private:
    Connection& m_http;
    cups_dest_t* m_dest;
    cups_dinfo_t* m_info = nullptr;
};

} // namespace platform::cupsdetail
