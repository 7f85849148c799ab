#pragma once
// Splits an SQL script into its statements: ';' ends a statement unless it stands in a
// quoted text or a comment. Comments are dropped; empty statements are skipped.
#include <QString>
#include <QStringList>

namespace sqlscript {

inline QStringList SplitStatements(const QString& script)
{
    QStringList statements;
    QString current;
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside the text is the quote itself and keeps the text open.
            current += c;
            for (++i; i < n; ++i) {
                current += script.at(i);
                if (script.at(i) == c) {
                    if (i + 1 < n && script.at(i + 1) == c) {
                        current += script.at(++i);
                        continue;
                    }
                    break;
                }
            }
        } else if (c == QLatin1Char('-') && i + 1 < n && script.at(i + 1) == QLatin1Char('-')) {
            while (i < n && script.at(i) != QLatin1Char('\n'))
                ++i;
            current += QLatin1Char('\n');
        } else if (c == QLatin1Char('/') && i + 1 < n && script.at(i + 1) == QLatin1Char('*')) {
            const qsizetype end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 1;
            current += QLatin1Char(' ');
        } else if (c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty())
                statements << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

} // namespace sqlscript
