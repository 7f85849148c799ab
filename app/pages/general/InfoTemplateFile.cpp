#include "app/pages/general/InfoTemplateFile.h"

#include "extra/extra.h"
#include "platform/AnsiCodePage.h"
#include "platform/RegularFile.h"
#include "platform/WholeFile.h"

#include <QFile>
#include <QStringList>

namespace InfoTemplateFile {

namespace {

const QString kCRLF = QStringLiteral("\r\n");

bool UnitCanShow(QChar& ch)
{
    const ushort code = ch.unicode();
    if (code >= 32 && code <= 126)
        return true;
    if (ch == QChar(u'ø')) {
        ch = QChar(u'ö');
        return true;
    }
    if (ch == QChar(u'Ø')) {
        ch = QChar(u'Ö');
        return true;
    }
    const QString single(ch);
    return extra::TextToUnit(single) != single;
}

// Lines as a line-by-line read gives them: CR LF, LF or CR end a line; a last line break
// opens no further line.
QStringList SplitLines(const QString& text)
{
    QString unified = text;
    unified.replace(kCRLF, QStringLiteral("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = unified.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

bool FilterToUnit(QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar ch = text[i];
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            continue;
        if (!UnitCanShow(ch))
            return false;
        text[i] = ch;
    }
    return true;
}

ReadResult Read(const QString& path, Content& content)
{
    // A pipe or a device named as a template would hold the read; it is no template.
    if (!platform::IsRegularFile(path))
        return ReadResult::CannotRead;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadResult::CannotRead;
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return ReadResult::CannotRead;
    if (bytes.size() > kMaxFileBytes)
        return ReadResult::Invalid;

    QStringList lines = SplitLines(platform::AnsiCodePage::ToUnicode(bytes));
    const QString name = lines.isEmpty() ? QString() : lines.takeFirst();
    if (lines.size() > kWindowLines)
        return ReadResult::Invalid;
    for (const QString& line : lines)
        if (line.size() > kLineLength)
            return ReadResult::Invalid;
    QString window = lines.join(kCRLF);
    if (!FilterToUnit(window))
        return ReadResult::Invalid;
    content.name = name;
    content.window = window;
    return ReadResult::Ok;
}

bool Write(const QString& path, const Content& content)
{
    return platform::WriteWholeFile(path, platform::AnsiCodePage::FromUnicode(content.name + kCRLF + content.window + kCRLF));
}

} // namespace InfoTemplateFile
