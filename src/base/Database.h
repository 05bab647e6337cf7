#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace qelvaro {

class Database;

// One prepared statement. Parameters are bound by position (1-based, as in SQL's "?");
// fields are read by column name. A statement that failed to prepare is invalid: binding is
// ignored, next() and run() return false and error() says why.
class Statement {
public:
    Statement() = default;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    bool isValid() const { return m_stmt != nullptr; }

    // A text that UTF-8 cannot carry (a lone surrogate) is refused, never stored as "?".
    Statement& bind(int index, const QString& value);
    Statement& bind(int index, const char* value) { return bind(index, QString::fromUtf8(value)); }
    Statement& bind(int index, qint64 value);
    Statement& bind(int index, int value) { return bind(index, qint64(value)); }
    Statement& bind(int index, double value);
    Statement& bind(int index, std::nullptr_t);
    Statement& bind(int index, const QVariant& value);  // null QVariant binds NULL

    // Binds every argument in order, starting at parameter 1.
    template <typename... Args>
    Statement& bindAll(const Args&... args)
    {
        int index = 1;
        (bind(index++, args), ...);
        return *this;
    }

    // Steps to the next row: true when a row is there, false at the end or on an error (ok()).
    bool next();
    // Runs a statement that returns no rows to its end; true when it succeeded.
    bool run();
    // Makes the statement ready to run again; bindings are kept.
    void reset();

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }

    int columnCount() const;
    int columnIndex(std::string_view name) const;  // -1 when the result has no such column
    QString columnName(int index) const;

    // Field of the current row. A null value, or a column the result does not have, reads as
    // the empty text / 0 / a null QVariant.
    QString text(std::string_view column) const { return text(columnIndex(column)); }
    QString text(int index) const;
    // The field's UTF-8 bytes as the library holds them, valid until the next step or reset.
    std::string_view utf8(int index) const;
    qint64 integer(std::string_view column) const { return integer(columnIndex(column)); }
    qint64 integer(int index) const;
    bool isNull(std::string_view column) const { return isNull(columnIndex(column)); }
    bool isNull(int index) const;
    QVariant value(std::string_view column) const { return value(columnIndex(column)); }
    QVariant value(int index) const;

private:
    friend class Database;
    Statement(sqlite3* db, sqlite3_stmt* stmt, QString error);
    void fail();

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_ok = true;
    QString m_error;
    // Column names as the library holds them, read once on the first lookup by name: a lookup
    // then compares in place and allocates nothing, so reading by name stays cheap in row loops.
    mutable std::vector<std::string_view> m_columns;
};

// One connection to one encrypted database file, opened once and kept for the run.
class Database {
public:
    // Unreadable: the file's permissions keep us out. CannotOpen: SQLite could not open or
    // prepare it for another reason (a lock, an I/O error, a roll-back it could not finish).
    enum class OpenError { None, Missing, Unreadable, NotADatabase, NoEncryption, CannotOpen };

    // Opens an existing file with its key and checks that the key fits. With createIfMissing a
    // new, empty encrypted file is made. Returns null on failure, with the reason in *error.
    static std::unique_ptr<Database> open(const QString& path, const QByteArray& key,
                                          OpenError* error = nullptr, QString* message = nullptr,
                                          bool createIfMissing = false);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    Statement prepare(std::string_view sql) const;
    // Runs SQL text without parameters (one or several statements).
    bool exec(std::string_view sql);

    bool isOpen() const { return m_db != nullptr; }
    QString lastError() const { return m_lastError; }
    QString path() const { return m_path; }
    qint64 lastInsertRowId() const;
    int changes() const;
    sqlite3* handle() const { return m_db; }

    // True when the file could be opened for reading only (no write permission): every write fails.
    bool isReadOnly() const;

    // The cipher library's version, empty when the linked SQLite does not encrypt.
    QString cipherVersion() const;

    void close();

private:
    friend class Transaction;
    Database(sqlite3* db, QString path);
    sqlite3* m_db = nullptr;
    QString m_path;
    QString m_lastError;
};

// Keeps several writes together: rolls back unless commit() succeeded.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool isActive() const { return m_active; }
    bool commit();

private:
    Database& m_db;
    bool m_active = false;
};

// False when the text holds a character that cannot be stored as it is (a lone surrogate).
bool isStorableText(const QString& text);

// "%text%" for "LIKE ? ESCAPE '\'": the user's %, _ and \ match themselves.
QString likeContains(const QString& text);

}  // namespace qelvaro
