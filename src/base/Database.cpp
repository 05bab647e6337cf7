#include "Database.h"

#include "Gbk.h"

#include <sqlcipher/sqlite3.h>

#include <QFileInfo>

namespace qelvaro {
namespace {

QString errorText(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

int gbkCollation(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return gbkCompare(static_cast<const char*>(a), lengthA, static_cast<const char*>(b), lengthB);
}

}  // namespace

// ---- Statement ----------------------------------------------------------------------------

Statement::Statement(sqlite3* db, sqlite3_stmt* stmt, QString error)
    : m_db(db), m_stmt(stmt), m_ok(stmt != nullptr), m_error(std::move(error))
{
}

Statement::Statement(Statement&& other) noexcept { *this = std::move(other); }

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_ok = other.m_ok;
        m_error = std::move(other.m_error);
        m_columns = std::move(other.m_columns);
    }
    return *this;
}

Statement::~Statement()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

void Statement::fail()
{
    m_ok = false;
    m_error = errorText(m_db);
}

Statement& Statement::bind(int index, const QString& value)
{
    if (m_stmt && !isStorableText(value)) {
        m_ok = false;
        m_error = QStringLiteral("text holds a character that cannot be stored (a lone surrogate)");
    } else if (m_stmt) {
        const QByteArray utf8 = value.toUtf8();
        // A null QString still binds the empty text: callers pass text, NULL is asked for explicitly.
        if (sqlite3_bind_text(m_stmt, index, utf8.constData() ? utf8.constData() : "", int(utf8.size()),
                              SQLITE_TRANSIENT) != SQLITE_OK)
            fail();
    }
    return *this;
}

Statement& Statement::bind(int index, qint64 value)
{
    if (m_stmt && sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        fail();
    return *this;
}

Statement& Statement::bind(int index, double value)
{
    if (m_stmt && sqlite3_bind_double(m_stmt, index, value) != SQLITE_OK)
        fail();
    return *this;
}

Statement& Statement::bind(int index, std::nullptr_t)
{
    if (m_stmt && sqlite3_bind_null(m_stmt, index) != SQLITE_OK)
        fail();
    return *this;
}

Statement& Statement::bind(int index, const QVariant& value)
{
    if (value.isNull())
        return bind(index, nullptr);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        return bind(index, value.toLongLong());
    case QMetaType::Double:
        return bind(index, value.toDouble());
    default:
        return bind(index, value.toString());
    }
}

bool Statement::next()
{
    if (!m_stmt || !m_ok)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        fail();
    return false;
}

bool Statement::run()
{
    if (!m_stmt || !m_ok)
        return false;
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        fail();
        sqlite3_reset(m_stmt);
        return false;
    }
    sqlite3_reset(m_stmt);
    return true;
}

void Statement::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        m_ok = true;
        m_error.clear();
    }
}

int Statement::columnCount() const { return m_stmt ? sqlite3_column_count(m_stmt) : 0; }

QString Statement::columnName(int index) const
{
    return m_stmt ? QString::fromUtf8(sqlite3_column_name(m_stmt, index)) : QString();
}

int Statement::columnIndex(std::string_view name) const
{
    if (!m_stmt)
        return -1;
    if (m_columns.empty()) {
        const int n = sqlite3_column_count(m_stmt);
        m_columns.reserve(size_t(n));
        for (int i = 0; i < n; ++i) {
            const char* column = sqlite3_column_name(m_stmt, i);
            m_columns.emplace_back(column ? column : "");
        }
    }
    // The first column of that name, as SQL resolves a name the result holds twice.
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i] == name)
            return int(i);
    }
    return -1;
}

QString Statement::text(int index) const
{
    if (!m_stmt || index < 0 || index >= sqlite3_column_count(m_stmt))
        return QString();
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
    if (!data)
        return QString();
    return QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, index));
}

std::string_view Statement::utf8(int index) const
{
    if (!m_stmt || index < 0 || index >= sqlite3_column_count(m_stmt))
        return {};
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
    return data ? std::string_view(data, size_t(sqlite3_column_bytes(m_stmt, index))) : std::string_view();
}

qint64 Statement::integer(int index) const
{
    if (!m_stmt || index < 0 || index >= sqlite3_column_count(m_stmt))
        return 0;
    return sqlite3_column_int64(m_stmt, index);
}

bool Statement::isNull(int index) const
{
    if (!m_stmt || index < 0 || index >= sqlite3_column_count(m_stmt))
        return true;
    return sqlite3_column_type(m_stmt, index) == SQLITE_NULL;
}

QVariant Statement::value(int index) const
{
    if (!m_stmt || index < 0 || index >= sqlite3_column_count(m_stmt))
        return QVariant();
    switch (sqlite3_column_type(m_stmt, index)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, index));
    default:
        return QVariant(text(index));
    }
}

// ---- Database -----------------------------------------------------------------------------

Database::Database(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) {}

Database::~Database() { close(); }

std::unique_ptr<Database> Database::open(const QString& path, const QByteArray& key, OpenError* error,
                                         QString* message, bool createIfMissing)
{
    auto report = [&](OpenError e, const QString& text) {
        if (error)
            *error = e;
        if (message)
            *message = text;
        return std::unique_ptr<Database>();
    };
    if (error)
        *error = OpenError::None;

    const QFileInfo info(path);
    if (!info.exists() && !createIfMissing)
        return report(OpenError::Missing, QStringLiteral("file does not exist"));
    if (info.exists() && !info.isReadable())
        return report(OpenError::Unreadable, QStringLiteral("file cannot be read"));

    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (createIfMissing ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = errorText(db);
        sqlite3_close(db);
        return report(OpenError::CannotOpen, text);
    }
    std::unique_ptr<Database> result(new Database(db, path));
    if (result->cipherVersion().isEmpty())
        return report(OpenError::NoEncryption, QStringLiteral("the SQLite library does not encrypt"));
    if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
        return report(OpenError::NotADatabase, errorText(db));
    // The cipher settings are named rather than left to the library's defaults, so a later library
    // with other defaults still reads the files. 4 KiB cipher pages (this library's default is
    // 1 KiB) halve the decryption work of a search that scans a whole table. A larger page cache
    // keeps a clinic's patient register decrypted in memory between keystrokes.
    sqlite3_exec(db, "PRAGMA kdf_iter = 64000; PRAGMA cipher_page_size = 4096; PRAGMA cache_size = -32768",
                 nullptr, nullptr, nullptr);
    // Set before the first read: a second connection opened while the program saves waits for the
    // save instead of failing.
    sqlite3_busy_timeout(db, 2000);
    // Reading the schema is the first access that needs the key: a wrong key or a damaged file
    // fails here, before anything is written.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = errorText(db);
        return report(rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT ? OpenError::NotADatabase
                                                                   : OpenError::CannotOpen,
                      text);
    }
    sqlite3_create_collation(db, "GBK", SQLITE_UTF8, nullptr, gbkCollation);
    return result;
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

Statement Database::prepare(std::string_view sql) const
{
    if (!m_db)
        return Statement(nullptr, nullptr, QStringLiteral("database is closed"));
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.data(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return Statement(m_db, nullptr, errorText(m_db));
    }
    return Statement(m_db, stmt, QString());
}

bool Database::exec(std::string_view sql)
{
    if (!m_db) {
        m_lastError = QStringLiteral("database is closed");
        return false;
    }
    char* err = nullptr;
    const std::string text(sql);
    if (sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        m_lastError = QString::fromUtf8(err ? err : sqlite3_errmsg(m_db));
        sqlite3_free(err);
        return false;
    }
    m_lastError.clear();
    return true;
}

qint64 Database::lastInsertRowId() const { return m_db ? sqlite3_last_insert_rowid(m_db) : 0; }

int Database::changes() const { return m_db ? sqlite3_changes(m_db) : 0; }

bool Database::isReadOnly() const { return !m_db || sqlite3_db_readonly(m_db, "main") == 1; }

QString Database::cipherVersion() const
{
    Statement st = prepare("PRAGMA cipher_version");
    return st.next() ? st.text(0) : QString();
}

// ---- Transaction --------------------------------------------------------------------------

Transaction::Transaction(Database& db) : m_db(db) { m_active = m_db.exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction()
{
    if (m_active)
        m_db.exec("ROLLBACK");
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    if (!m_db.exec("COMMIT")) {
        const QString error = m_db.m_lastError;
        m_db.exec("ROLLBACK");
        m_db.m_lastError = error;
        m_active = false;
        return false;
    }
    m_active = false;
    return true;
}

bool isStorableText(const QString& text) { return QStringView(text).isValidUtf16(); }

QString likeContains(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += u'%';
    for (const QChar c : text) {
        if (c == u'%' || c == u'_' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    escaped += u'%';
    return escaped;
}

}  // namespace qelvaro
