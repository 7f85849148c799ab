#include "platform/CupsSavedOptions.h"
#include "platform/CupsPaperNames.h"

#include <QDir>
#include <QFile>

#include <cctype>

namespace platform::cupsdetail {

namespace {

// The options naming a paper: one chosen for the print replaces every saved one.
bool NamesPaper(const char* option)
{
    for (const char* paper : {"media", "media-col", "PageSize", "PageRegion"})
        if (qstricmp(option, paper) == 0)
            return true;
    return false;
}

} // namespace

SavedDestination::SavedDestination(Connection& http, const QString& printer)
{
    if (http.Watch().GivenUp())
        return;
    // lp splits at the last "/".
    const int slash = printer.lastIndexOf(QLatin1Char('/'));
    const QByteArray name = printer.left(slash < 0 ? printer.size() : slash).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : printer.mid(slash + 1).toUtf8();
    m_dest = cupsGetNamedDest(http.get(), name.constData(), slash < 0 ? nullptr : instance.constData());
    if (m_dest && http.Watch().GivenUp()) {
        cupsFreeDests(1, m_dest);
        m_dest = nullptr;
    }
}

SavedDestination::~SavedDestination()
{
    if (m_dest)
        cupsFreeDests(1, m_dest);
}

QStringList SavedDestination::Options() const
{
    QStringList options;
    for (int i = 0; m_dest && i < m_dest->num_options; ++i)
        options << Text(m_dest->options[i].name) << Text(m_dest->options[i].value);
    return options;
}

int WithSaved(const QStringList& saved, int count, cups_option_t** list)
{
    bool paperChosen = false;
    for (int i = 0; i < count; ++i)
        paperChosen = paperChosen || NamesPaper((*list)[i].name);
    for (int i = 0; i + 1 < saved.size(); i += 2) {
        const QByteArray name = saved[i].toUtf8();
        if (!cupsGetOption(name.constData(), count, *list) && !(paperChosen && NamesPaper(name.constData())))
            count = cupsAddOption(name.constData(), saved[i + 1].toUtf8().constData(), count, list);
    }
    return count;
}

QPageSize SavedDestination::Paper() const
{
    if (!m_dest)
        return QPageSize();
    // The server maps media= to a PPD's page size only where PageSize= names none.
    for (const char* name : {"PageSize", "media"}) {
        const QPageSize page = PageOf(Text(cupsGetOption(name, m_dest->num_options, m_dest->options)));
        if (page.isValid())
            return page;
    }
    return QPageSize();
}

int SavedDestination::Copies() const
{
    const int copies = m_dest ? Text(cupsGetOption("copies", m_dest->num_options, m_dest->options)).toInt() : 0;
    return copies >= 1 ? copies : 1;
}

QString LpoptionsLine::Destination() const
{
    return QString::fromUtf8(instance.isEmpty() ? name : name + '/' + instance);
}

QList<LpoptionsLine> ReadLpoptions()
{
    QList<LpoptionsLine> lines;
    const QString root = qEnvironmentVariableIsSet("CUPS_SERVERROOT") ? qEnvironmentVariable("CUPS_SERVERROOT")
                                                                      : QStringLiteral("/etc/cups");
    for (const QString& path : {root + QStringLiteral("/lpoptions"), QDir::homePath() + QStringLiteral("/.cups/lpoptions")}) {
        cups_file_t* file = cupsFileOpen(QFile::encodeName(path).constData(), "r");
        if (!file)
            continue;
        char line[8192];
        char* value = nullptr;
        int number = 0;
        while (cupsFileGetConf(file, line, sizeof line, &value, &number)) {
            const QByteArray word = QByteArray(line).toLower();
            if ((word != "dest" && word != "default") || !value)
                continue;
            // The name runs to a blank or "/", the instance to a blank, as libcups splits them.
            const QByteArray rest(value);
            int end = 0;
            while (end < rest.size() && !std::isspace(uchar(rest[end])) && rest[end] != '/')
                ++end;
            LpoptionsLine kept;
            kept.byDefault = word == "default";
            kept.name = rest.left(end);
            if (end < rest.size() && rest[end] == '/') {
                const int from = ++end;
                while (end < rest.size() && !std::isspace(uchar(rest[end])))
                    ++end;
                kept.instance = rest.mid(from, end - from);
            }
            if (!kept.name.isEmpty())
                lines << kept;
        }
        cupsFileClose(file);
    }
    return lines;
}

QString UserDefault()
{
    const QString lpdest = qEnvironmentVariable("LPDEST").trimmed();
    if (!lpdest.isEmpty())
        return lpdest;
    const QString printer = qEnvironmentVariable("PRINTER").trimmed();
    return printer == QLatin1String("lp") ? QString() : printer;
}

} // namespace platform::cupsdetail
