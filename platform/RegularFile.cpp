#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace platform {

bool IsRegularFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    // QFileInfo follows links and tells a regular file from every other kind of entry.
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString FullFileName(const QString& name)
{
    if (name.isEmpty())
        return name;
    const QStringList steps = (QDir::isRelativePath(name) ? QDir::currentPath() + QLatin1Char('/') + name : name).split(QLatin1Char('/'));
    // A "." or an empty step changes nothing the system opens (a last empty one, "x/", does).
    QStringList kept;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if (steps.at(i) != QLatin1String(".") && (!steps.at(i).isEmpty() || i == steps.size() - 1))
            kept << steps.at(i);
    }
    const QString full = (steps.constFirst().isEmpty() ? QStringLiteral("/") : QString()) + kept.join(QLatin1Char('/'));
    const qsizetype slash = full.lastIndexOf(QLatin1Char('/'));
    if (!kept.mid(0, kept.size() - 1).contains(QLatin1String("..")))
        return full;
    const QString folder = full.left(slash);
#ifdef Q_OS_UNIX
    char* real = ::realpath(QFile::encodeName(folder).constData(), nullptr);
    if (!real)
        return full; // no such folder: the name fails as given
    const QString resolved = QFile::decodeName(real);
    std::free(real);
#else
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    if (resolved.isEmpty())
        return full;
#endif
    return (resolved == QLatin1String("/") ? QString() : resolved) + full.mid(slash);
}

} // namespace platform
