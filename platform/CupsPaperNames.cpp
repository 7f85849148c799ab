#include "platform/CupsPaperNames.h"
#include "platform/CupsApi.h"

#include <QFile>
#include <QSizeF>

#include <cups/cups.h>

#include <cctype>

namespace platform {

namespace cupsdetail {

namespace {

QPageSize PageOf(const pwg_media_t* media)
{
    // Hundredths of a millimetre; Qt names the size when it knows it.
    if (!media || media->width <= 0 || media->length <= 0)
        return QPageSize();
    return QPageSize(QSizeF(media->width / 100.0, media->length / 100.0), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

} // namespace

QPageSize PageOf(const QString& names)
{
    for (const QString& part : names.split(QLatin1Char(','))) {
        const QByteArray name = part.trimmed().toUtf8();
        QByteArray capital = name;
        if (!capital.isEmpty())
            capital[0] = char(std::toupper(uchar(capital[0])));
        for (const pwg_media_t* media : {pwgMediaForPWG(name.constData()), pwgMediaForLegacy(name.constData()),
                                         pwgMediaForPPD(name.constData()), pwgMediaForPPD(capital.constData())}) {
            const QPageSize page = PageOf(media);
            if (page.isValid())
                return page;
        }
    }
    return QPageSize();
}

double Points(int hundredthsMm) { return hundredthsMm * 72.0 / 2540.0; }

} // namespace cupsdetail

QPageSize CupsApi::SystemPaper()
{
    // As libpaper finds it: PAPERSIZE, else the first word of the paper file that is no comment.
    QString name = qEnvironmentVariable("PAPERSIZE").trimmed();
    QFile file(qEnvironmentVariableIsEmpty("PAPERCONF") ? QStringLiteral("/etc/papersize") : qEnvironmentVariable("PAPERCONF"));
    if (name.isEmpty() && file.open(QIODevice::ReadOnly)) {
        while (name.isEmpty() && !file.atEnd()) {
            const QString line = QString::fromLocal8Bit(file.readLine()).trimmed();
            if (!line.startsWith(QLatin1Char('#')))
                name = line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        }
    }
    const QPageSize paper = cupsdetail::PageOf(name);
    return paper.isValid() ? paper : QPageSize(QPageSize::A4);
}

} // namespace platform
