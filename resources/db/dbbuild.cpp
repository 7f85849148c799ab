// Build-time tool: runs the SQL scripts given on the command line, in order, into a new
// SQLite file. The file is written under a temporary name and renamed only when every
// statement succeeded, so a broken script never leaves a half-built database behind.
// Usage: dbbuild <output file> <script.sql>...
#include "resources/db/SqlScript.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>

namespace {

int Fail(const QString& text)
{
    std::fprintf(stderr, "dbbuild: %s\n", qPrintable(text));
    return 1;
}

bool RunScripts(QSqlDatabase& db, const QStringList& scripts, QString& error)
{
    QSqlQuery query(db);
    if (!db.transaction()) {
        error = db.lastError().text();
        return false;
    }
    for (const QString& path : scripts) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            error = path + ": " + file.errorString();
            return false;
        }
        const QString script = QString::fromUtf8(file.readAll());
        for (const QString& statement : sqlscript::SplitStatements(script)) {
            if (!query.exec(statement)) {
                error = path + ": " + query.lastError().text() + "\n" + statement.left(300);
                return false;
            }
        }
    }
    if (!db.commit()) {
        error = db.lastError().text();
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return Fail("usage: dbbuild <output file> <script.sql>...");
    const QString target = args.first();
    const QString temp = target + ".part";
    QFile::remove(temp);

    QString error;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "dbbuild");
        db.setDatabaseName(temp);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            // One file, no journal left next to it.
            QSqlQuery(db).exec("PRAGMA journal_mode = DELETE");
            ok = RunScripts(db, args.mid(1), error);
            if (ok)
                ok = QSqlQuery(db).exec("VACUUM");
            db.close();
        }
    }
    QSqlDatabase::removeDatabase("dbbuild");
    if (!ok) {
        QFile::remove(temp);
        return Fail(error.isEmpty() ? QStringLiteral("could not build the database") : error);
    }
    QFile::remove(target);
    if (!QFile::rename(temp, target)) {
        QFile::remove(temp);
        return Fail("cannot write " + target);
    }
    return 0;
}
