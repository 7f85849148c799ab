#include "datamodel/XelInfo.h"

#include "extra/extra.h"
#include "datamodel/ImageAccess.h"
#include "datamodel/PartHelpers.h"
#include "datamodel/RecordIO.h"
#include "platform/SystemInfo.h"

#include <QLocale>

namespace {

using FixedText::TrimRight;

QString Author()
{
    QString name = extra::GetWindowsUserName();
    if (name.isEmpty())
        name = extra::GetWindowsComputerName();
    if (name.isEmpty())
        name = QStringLiteral("N/A");
    return name.toUpper();
}

struct Placeholder {
    QString tag;
    QString value;
};

// Fills one line; a value that would push the line past its width is cut to the room
// that the line's own text leaves.
QString FillLine(QString line, const QList<Placeholder>& placeholders)
{
    const int width = XelInfo::kLineLength;
    for (int p = 0; p < placeholders.size(); ++p) {
        const Placeholder& ph = placeholders[p];
        if (!line.toUpper().contains(ph.tag))
            continue;
        QString t = line;
        for (int later = p + 1; later < placeholders.size(); ++later)
            t.remove(placeholders[later].tag, Qt::CaseSensitive);
        QString value = ph.value;
        QString filled = t;
        filled.replace(ph.tag, value, Qt::CaseSensitive);
        if (filled.size() > width) {
            QString own = t;
            const int nul = own.indexOf(QChar(0));
            if (nul >= 0)
                own.truncate(nul);
            own = TrimRight(own);
            own.remove(ph.tag, Qt::CaseSensitive);
            const int room = width - int(own.size());
            value = room > 0 ? value.left(room) : QString();
        }
        line.replace(ph.tag, value, Qt::CaseSensitive);
    }
    return line;
}

} // namespace

XelInfo::XelInfo() : m_info(FixedText::Blank(kLength)), m_backup(m_info) {}

QString XelInfo::Info() const { return TrimRight(m_info); }

void XelInfo::SetInfo(const QString& value) { m_info = FixedText::Fit(value, kLength); }

bool XelInfo::Changed() const { return m_info != m_backup; }
void XelInfo::ResetBackup() { m_backup = m_info; }

bool XelInfo::ReadFromFile(RecordReader& r, const QString&)
{
    QString text;
    if (!r.FixedText(text, kLength))
        return false;
    m_info = text;
    ResetBackup();
    return true;
}

bool XelInfo::WriteToFile(RecordWriter& w)
{
    if (!w.FixedText(m_info, kLength))
        return false;
    if (!w.KeepsBackup())
        ResetBackup();
    return true;
}

bool XelInfo::ToImage(QByteArray& image, const QString& sFileTitle, QString* failedField) const
{
    const QDateTime now = platform::SystemInfo::Instance().Now();
    const QList<Placeholder> placeholders = {
        {QStringLiteral("{FILENAME}"), sFileTitle},
        {QStringLiteral("{DATE}"), now.date().toString(QStringLiteral("yyyy-MM-dd"))},
        // English month letters in every locale: the unit's character set has them, and its
        // date is always 11 characters.
        {QStringLiteral("{LDATE}"), QLocale::c().toString(now.date(), QStringLiteral("yyyy-MMM-dd")).toUpper()},
        {QStringLiteral("{TIME}"), now.time().toString(QStringLiteral("HH:mm")).toUpper()},
        {QStringLiteral("{AUTHOR}"), Author()},
    };
    const QString text = Info();
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (int n = 0; n < kLines; ++n) {
        QString line = n < lines.size() ? lines[n] : QString();
        if (line.size() < kLineLength)
            line.append(QString(kLineLength - line.size(), QChar(0)));
        line = FillLine(line, placeholders);
        // Written whole: an over-long line runs into the next one, which overwrites it.
        if (!ImageAccess::PutBytes(image, kImageStart + kLineLength * n, PartHelpers::TextToUnitBytes(line)))
            return ImageAccess::Refuse(failedField, QStringLiteral("Info"));
    }
    return true;
}

bool XelInfo::FromImage(const QByteArray& image)
{
    QByteArray area;
    if (!ImageAccess::GetBytes(image, kImageStart, kLines * kLineLength, area))
        return false;
    QStringList lines;
    for (int n = 0; n < kLines; ++n)
        lines << PartHelpers::UnitBytesToText(area.mid(kLineLength * n, kLineLength));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    SetInfo(lines.join(QStringLiteral("\r\n")));
    return true;
}
