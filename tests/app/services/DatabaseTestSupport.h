#pragma once
// Helpers of the reference database tests: the shipped file, the SQL scripts it is built
// from, and small database files made for one test.
#include "resources/db/SqlScript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <gtest/gtest.h>

namespace dbtest {

inline QString ShippedFile()
{
    return QCoreApplication::applicationDirPath() + "/Quarno.mdb";
}

inline QString ScriptDir()
{
    return QDir::cleanPath(QStringLiteral(QUARNO_TEST_DATA) + "/../../resources/db");
}

// The scripts in the order the build runs them.
inline QStringList ScriptFiles()
{
    QStringList files;
    for (const char* name : {"schema", "j1939", "j1587", "digital", "fuel", "manufacturer", "engine_hours"})
        files << ScriptDir() + "/" + name + ".sql";
    return files;
}

inline QString ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// Runs scripts and extra statements into a database; false with a failure message on the
// first statement that fails.
inline ::testing::AssertionResult RunInto(QSqlDatabase db, const QStringList& scripts,
                                          const QStringList& statements = {})
{
    QSqlQuery query(db);
    QStringList all;
    for (const QString& script : scripts) {
        const QString text = ReadText(script);
        if (text.isEmpty())
            return ::testing::AssertionFailure() << "cannot read " << script.toStdString();
        all << sqlscript::SplitStatements(text);
    }
    all << statements;
    for (const QString& statement : all)
        if (!query.exec(statement))
            return ::testing::AssertionFailure()
                << query.lastError().text().toStdString() << " in: " << statement.left(200).toStdString();
    return ::testing::AssertionSuccess();
}

// Writes a database file from the schema plus the given statements.
inline ::testing::AssertionResult MakeDatabase(const QString& path, const QStringList& statements)
{
    QFile::remove(path);
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "dbtest-make");
        db.setDatabaseName(path);
        if (!db.open())
            result = ::testing::AssertionFailure() << db.lastError().text().toStdString();
        else
            result = RunInto(db, {ScriptDir() + "/schema.sql"}, statements);
        db.close();
    }
    QSqlDatabase::removeDatabase("dbtest-make");
    return result;
}

} // namespace dbtest
