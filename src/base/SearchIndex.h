#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace qelvaro {

class Database;
class Statement;

// ASCII letters folded to lower case, other bytes kept: the case rule of SQL's LIKE. A text is
// cut at a NUL, where LIKE stops reading it too.
QByteArray foldedForSearch(QByteArrayView utf8);

// Record keys in the record list's order: as SQL compares texts, by their UTF-8 bytes. A key of
// the form the program writes ("yyyy-MM-dd HH:mm:ss") also has its digits as one number, which
// orders such keys alike and spares the sort of half a million keys most of its work; any other
// key has number 0 and is compared by its bytes.
quint64 recordKeyNumber(std::string_view key);
inline int compareRecordKeys(quint64 numberA, std::string_view a, quint64 numberB, std::string_view b)
{
    if (numberA && numberB)
        return numberA < numberB ? -1 : numberA > numberB ? 1 : 0;
    return a.compare(b);
}

// The first place in [from, end) where the part (not empty) begins, or null: what memmem
// answers, found sixteen bytes a step by the part's first and last byte, which is several times
// faster than memmem for the two or three letters typed into a look-up.
const char* findPart(const char* from, const char* end, QByteArrayView part);

// Texts in one flat buffer, in the order the searches list them, searched for a literal part in
// one sweep of the buffer. Each entry is kept folded (foldedForSearch) and followed by a NUL, so
// a part (which holds no NUL) found in the buffer lies inside exactly one entry.
class ContainmentIndex {
public:
    int size() const { return int(m_starts.size()); }
    void reserve(qsizetype entries, qsizetype bytes);
    void insert(int position, QByteArrayView folded);
    void append(QByteArrayView folded) { insert(size(), folded); }
    void remove(int position);

    // Calls visit(position) for each entry holding the folded part, in position order, while visit
    // returns true. An empty part is held by every entry.
    template <typename Visit>
    void forEachContaining(QByteArrayView foldedPart, Visit visit) const
    {
        const int n = size();
        if (foldedPart.isEmpty()) {
            for (int i = 0; i < n && visit(i); ++i) {
            }
            return;
        }
        if (foldedPart.contains('\0'))
            return;
        const char* const base = m_text.data();
        const char* const end = base + m_text.size();
        const char* from = base;
        int next = 0;
        while (from < end) {
            const char* hit = findPart(from, end, foldedPart);
            if (!hit)
                return;
            const qsizetype offset = hit - base;
            // Hits come in order, so the entry is sought onward from the last one, in growing steps.
            const int position = entryAt(offset, next);
            next = position + 1;
            if (!visit(position))
                return;
            from = position + 1 < n ? base + m_starts[size_t(position) + 1] : end;
        }
    }

private:
    // The entry holding the byte at offset, which lies in entry `from` or after it.
    int entryAt(qsizetype offset, int from) const
    {
        const auto begin = m_starts.begin() + from;
        qsizetype step = 1;
        while (step < qsizetype(m_starts.end() - begin) && begin[step] <= offset)
            step *= 2;
        const auto last = begin + std::min(step, qsizetype(m_starts.end() - begin));
        return int(std::upper_bound(begin + step / 2, last, offset) - m_starts.begin()) - 1;
    }

    std::string m_text;
    std::vector<qsizetype> m_starts;
};

// The drug searches over table 药品, every row by name in GBK order (ties by code, category,
// rowid; a missing value first). The editor's search: drugs whose pinyin code holds the typed
// text, optionally only those whose category holds a caption, at most a given number, leaving out
// rows without a name, as its list would show them empty, and rows without a code, which no search
// finds. The drug window's lists (withCode, containingCategory, ofCategory) are uncapped, keep
// rows without a name and list equal names by rowid, as their SQL does.
class DrugIndex {
public:
    struct Match {
        qint64 rowId;
        QString name;
    };

    // Reads every drug; false when the table cannot be read.
    bool load(Database& settings);
    // Reads the row again after it was written or removed.
    void refresh(Database& settings, qint64 rowId);

    std::vector<Match> search(const QString& typed, const QString& caption, int limit) const;
    // Rows whose code holds the typed text; an empty text lists every row with a code.
    std::vector<Match> withCode(const QString& typed) const;
    // Rows whose category holds the caption (ASCII case ignored), or is exactly the caption;
    // namedOnly leaves out the rows without a name, as the editor's category list does.
    std::vector<Match> containingCategory(const QString& caption, bool namedOnly = false) const;
    std::vector<Match> ofCategory(const QString& caption) const;
    int size() const { return int(m_rows.size()); }

private:
    struct Row {
        qint64 rowId = 0;
        QByteArray name;      // UTF-8 as stored
        QByteArray code;      // as stored, for the order of equal names
        QByteArray category;  // as stored
        QString shownName;    // what a list shows, made once
        QByteArray foldedCategory;
        bool hasName = false;
        bool hasCode = false;
        bool hasCategory = false;
    };
    static Row readRow(const Statement& st);
    static bool sameName(const Row& a, const Row& b);
    void markName(size_t position);
    std::vector<Match> byNameThenRowId(std::vector<int> positions) const;
    static bool before(const Row& a, const Row& b);
    void insert(Row row);
    void remove(qint64 rowId);

    std::vector<Row> m_rows;  // in list order, parallel to the three below
    // Whether the row before holds the same name in the GBK order; apart, as lists read it for
    // every row they span.
    std::vector<char> m_nameAsBefore;
    ContainmentIndex m_codes;
    ContainmentIndex m_categories;
};

// The patient look-up over table 患者信息: rows whose key 序号 holds the typed text, by rowid.
// Rows without a key, which no search finds, are left out.
class PatientIndex {
public:
    bool load(Database& records);
    // Reads the rows of this key again after the register wrote them.
    void refresh(Database& records, const QString& key);

    // The positions of the matching rows, read through the accessors below until the next load or
    // refresh; nothing is copied, as a short search text can match nearly every patient.
    std::vector<int> search(const QString& typed) const;
    qint64 rowId(int position) const { return m_rowIds[size_t(position)]; }
    // Every name by position. A copy is shared, not copied, until the index changes, so a list of
    // matches can keep the names it shows at no cost.
    const QStringList& names() const { return m_names; }
    const QString& birthYear(int position) const { return m_birthYears[size_t(position)]; }
    // The birth year when its text is plain digits (plainDigits), as the program writes it.
    std::optional<int> plainBirthYear(int position) const
    {
        const qint32 year = m_plainBirthYears[size_t(position)];
        return year >= 0 ? std::optional<int>(year) : std::nullopt;
    }
    int size() const { return int(m_rowIds.size()); }

private:
    void put(qint64 rowId, const QByteArray& key, QString name, QString birthYear);

    std::vector<qint64> m_rowIds;  // ascending, parallel to m_keys
    QStringList m_names;
    std::vector<QString> m_birthYears;
    std::vector<qint32> m_plainBirthYears;  // -1 where the text is not plain digits
    ContainmentIndex m_keys;
};

// Every listed record's key, visit date and row id, kept in the record list's order (key, then
// rowid; the list reads it from the end), so the list of every name over a date range is one sweep
// instead of half the table read and sorted. Only for files whose visit dates are all text as the
// program writes them ("yyyy-MM-dd"): on any other, load() and refresh() fail and the list asks
// the database.
class RecordOrderIndex {
public:
    bool load(Database& records);
    // Reads the rows stored under this key again, after a save or a delete.
    bool refresh(Database& records, const QString& key);

    // The row ids of the records dated in [from, to] (as texts "yyyy-MM-dd"), newest key first,
    // rows of one key newest first; no value for dates beyond four-digit years.
    std::optional<QList<qint64>> between(int fromDay, int toDay) const;
    // A date as between() takes it; 0 outside four-digit years.
    static int dayNumber(int year, int month, int day);
    qsizetype size() const { return qsizetype(m_rows.size()); }

private:
    struct Row {
        qint64 rowId;
        quint64 keyNumber;  // recordKeyNumber
        quint32 keyOffset;  // in m_keys: the length in one byte, then the key's UTF-8 bytes
        qint32 day;         // yyyyMMdd, ordered as the date texts are
    };
    std::string_view key(const Row& row) const;
    bool before(const Row& a, const Row& b) const;
    bool add(std::string_view key, qint64 rowId, std::string_view date, bool isText);
    quint32 keepKey(std::string_view key);

    std::vector<Row> m_rows;
    std::string m_keys;
};

// The distinct patient names of the stored prescriptions (column "0" of 档案), so a record list
// by part of a name can read the records of the names that hold it rather than every record.
// Names of deleted records may stay: a name with no record lists nothing.
class NameIndex {
public:
    bool load(Database& records);
    void add(const QString& name);

    // The stored names holding the typed text (ASCII case ignored, as LIKE does), in no order;
    // no value when more than `most` do.
    std::optional<QStringList> containing(const QString& typed, int most) const;
    int size() const { return int(m_names.size()); }

private:
    std::vector<QString> m_names;
    QSet<QString> m_known;
    ContainmentIndex m_folded;
};

}  // namespace qelvaro
