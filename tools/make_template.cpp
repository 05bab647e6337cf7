// Build-time tool: writes one encrypted template database from SQL text.
//   make_template OUTPUT KEY SQL_FILE...
// The SQL may call pinyin_code(text), so the stored search codes of the sample rows come from
// the program's own pinyin code.

#include "Database.h"
#include "Pinyin.h"

#include <sqlcipher/sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

void pinyinCodeFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray code = qelvaro::pinyinCode(QString::fromUtf8(text ? text : "")).toUtf8();
    sqlite3_result_text(context, code.constData(), int(code.size()), SQLITE_TRANSIENT);
}

int fail(const QString& message)
{
    std::fprintf(stderr, "make_template: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return fail(QStringLiteral("usage: make_template OUTPUT KEY SQL_FILE..."));

    const QString output = args[1];
    const QString partial = output + QStringLiteral(".part");
    QDir().mkpath(QFileInfo(output).absolutePath());
    QFile::remove(partial);

    {
        QString message;
        auto db = qelvaro::Database::open(partial, args[2].toUtf8(), nullptr, &message, true);
        if (!db)
            return fail(partial + QStringLiteral(": ") + message);
        sqlite3_create_function(db->handle(), "pinyin_code", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                nullptr, pinyinCodeFunction, nullptr, nullptr);
        if (!db->exec("BEGIN"))
            return fail(db->lastError());
        for (int i = 3; i < args.size(); ++i) {
            QFile sql(args[i]);
            if (!sql.open(QIODevice::ReadOnly))
                return fail(args[i] + QStringLiteral(": cannot read"));
            if (!db->exec(sql.readAll().toStdString()))
                return fail(args[i] + QStringLiteral(": ") + db->lastError());
        }
        if (!db->exec("COMMIT") || !db->exec("VACUUM"))
            return fail(db->lastError());
    }

    QFile::remove(output);
    if (!QFile::rename(partial, output))
        return fail(QStringLiteral("cannot rename ") + partial);
    return 0;
}
