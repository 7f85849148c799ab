#include "platform/CupsPaperEdges.h"
#include "platform/CupsPaperNames.h"

#include <QSizeF>

namespace platform::cupsdetail {

PaperEdges::PaperEdges(Connection& http, cups_dest_t* dest) : m_http(http), m_dest(dest)
{
    if (m_dest && !http.Watch().GivenUp())
        m_info = cupsCopyDestInfo(http.get(), m_dest);
}

PaperEdges::~PaperEdges()
{
    if (m_info)
        cupsFreeDestInfo(m_info);
}

QMarginsF PaperEdges::Of(const QPageSize& page) const
{
    if (!m_info || !page.isValid())
        return QMarginsF();
    const QSizeF mm = page.size(QPageSize::Millimeter) * 100;
    const pwg_media_t* media = pwgMediaForSize(qRound(mm.width()), qRound(mm.height()));
    cups_size_t size{};
    if ((!media || !cupsGetDestMediaByName(m_http.get(), m_dest, m_info, media->pwg, CUPS_MEDIA_FLAGS_DEFAULT, &size))
        && !cupsGetDestMediaDefault(m_http.get(), m_dest, m_info, CUPS_MEDIA_FLAGS_DEFAULT, &size))
        return QMarginsF();
    return QMarginsF(Points(size.left), Points(size.top), Points(size.right), Points(size.bottom));
}

} // namespace platform::cupsdetail
