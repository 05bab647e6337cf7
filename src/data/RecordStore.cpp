#include "RecordStore.h"

#include "TextRules.h"

#include <QStringList>

#include <algorithm>
#include <functional>
#include <vector>

namespace qelvaro {
namespace {

using P = Prescription;


// The columns a save writes, in binding order: 0..16, C1, C2, T1, T2, T3, then the key.
constexpr std::string_view kUpdateRecord =
    R"(UPDATE "档案" SET "0" = ?1, "1" = ?2, "2" = ?3, "3" = ?4, "4" = ?5, "5" = ?6, "6" = ?7,
       "7" = ?8, "8" = ?9, "9" = ?10, "10" = ?11, "11" = ?12, "12" = ?13, "13" = ?14, "14" = ?15,
       "15" = ?16, "16" = ?17, "C1" = ?18, "C2" = ?19, "T1" = ?20, "T2" = ?21, "T3" = ?22
       WHERE "名称" = ?23)";
constexpr std::string_view kInsertRecord =
    R"(INSERT INTO "档案" ("0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
       "13", "14", "15", "16", "C1", "C2", "T1", "T2", "T3", "名称")
       VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18,
               ?19, ?20, ?21, ?22, ?23))";

// The rows come from the index on (date, name, key) alone; KeyOrder puts them in the list's order,
// which is quicker than the database's sorter on half a million rows.
constexpr std::string_view kListRecords =
    R"(SELECT rowid, "名称" FROM "档案"
       WHERE "0" LIKE ?1 ESCAPE '\' AND "9" BETWEEN ?2 AND ?3)";
// An empty filter holds every name: the pattern test is left out.
constexpr std::string_view kListAllRecords =
    R"(SELECT rowid, "名称" FROM "档案" WHERE "0" IS NOT NULL AND "9" BETWEEN ?1 AND ?2)";

// The same list for names known to match, one name at a time: its rows of the date range through
// the index on (name, date), instead of every record of the range tested against the filter.
constexpr std::string_view kListRecordsOfName =
    R"(SELECT rowid, "名称" FROM "档案" WHERE "0" = ?1 AND "9" BETWEEN ?2 AND ?3)";
constexpr std::string_view kNameDateIndex =
    R"(SELECT 1 FROM sqlite_master WHERE type = 'index' AND tbl_name = '档案' AND name = '姓名日期')";
// Beyond this many matching names, reading the whole date range is as quick.
constexpr int kMostNamesFirst = 300;

constexpr std::string_view kListRow = R"(SELECT "0", "1", "2", "9", "名称" FROM "档案" WHERE rowid = ?1)";

constexpr std::string_view kOpenByRowId =
    R"(SELECT "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15",
       "16", "C1", "C2", "T1", "T2", "T3", "名称" FROM "档案" WHERE rowid = ?1)";
constexpr std::string_view kOpenByKey =
    R"(SELECT "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15",
       "16", "C1", "C2", "T1", "T2", "T3", "名称" FROM "档案" WHERE "名称" = ?1 ORDER BY rowid LIMIT 1)";

constexpr std::string_view kKeyStored = R"(SELECT 1 FROM "档案" WHERE "名称" = ?1 LIMIT 1)";
constexpr std::string_view kDeleteRecord = R"(DELETE FROM "档案" WHERE "名称" = ?1)";

// The outpatient log. The index on ("9", "0") serves the range and the order (date, then name,
// then row) without a sort; the row-id query reads nothing else.
constexpr std::string_view kLogQuery = R"(SELECT "0", "1", "2", "8", "6", "9" FROM "档案"
    WHERE "9" BETWEEN ? AND ? ORDER BY "9", "0", rowid)";
constexpr std::string_view kLogRowIdQuery =
    R"(SELECT rowid FROM "档案" WHERE "9" BETWEEN ? AND ? ORDER BY "9", "0", rowid)";
constexpr std::string_view kLogRowQuery = R"(SELECT "0", "1", "2", "8", "6", "9" FROM "档案" WHERE rowid = ?)";

// The statistics: read from the index on date, name and fees alone.
constexpr std::string_view kStatisticsQuery = R"(SELECT "13", "14" FROM "档案" WHERE "9" BETWEEN ? AND ?)";

// The infusion card.
constexpr std::string_view kReadCard =
    R"(SELECT "T4", "T5", "T6", "T7", "T8" FROM "档案" WHERE "名称" = ? LIMIT 1)";
constexpr std::string_view kWriteCard =
    R"(UPDATE "档案" SET "T4" = ?1, "T5" = ?2, "T6" = ?3, "T7" = ?4, "T8" = ?5 WHERE "名称" = ?6)";

// Listed rows in the record list's order: newest key first (keys compared as SQL compares text,
// by their UTF-8 bytes); ties on the key (rows stored before keys were made unique) by rowid,
// newest first. Keys are kept in one buffer.
class KeyOrder {
public:
    void add(std::string_view key, qint64 rowId)
    {
        m_rows.push_back({m_keys.size(), key.size(), recordKeyNumber(key), rowId});
        m_keys.append(key);
    }

    QList<qint64> rowIds()
    {
        const char* keys = m_keys.data();
        std::sort(m_rows.begin(), m_rows.end(), [keys](const Row& a, const Row& b) {
            const int c = compareRecordKeys(a.number, std::string_view(keys + a.offset, a.length), b.number,
                                            std::string_view(keys + b.offset, b.length));
            return c != 0 ? c > 0 : a.rowId > b.rowId;
        });
        QList<qint64> ids;
        ids.reserve(qsizetype(m_rows.size()));
        for (const Row& row : m_rows)
            ids.append(row.rowId);
        return ids;
    }

private:
    struct Row {
        size_t offset;
        size_t length;
        quint64 number;  // recordKeyNumber
        qint64 rowId;
    };
    std::string m_keys;
    std::vector<Row> m_rows;
};

QString inMemoryLineBreaks(const QString& stored) { return splitLines(stored).join(u'\n'); }

void bindRecord(Statement& st, const Prescription& p, const QString& visitDate)
{
    for (int i = 0; i < kHeadingFieldCount; ++i)
        st.bind(i + 1, i == headingIndex(HeadingField::Date) ? visitDate : p.fields[i]);
    st.bind(18, p.title)
        .bind(19, p.kind)
        .bind(20, toStoredLineBreaks(p.body))
        .bind(21, toStoredLineBreaks(p.injectionCard))
        .bind(22, toStoredLineBreaks(p.history))
        .bind(23, p.key);
}

LogRow logRowOf(const Statement& st)
{
    return {st.text(0), st.text(1), st.text(2), st.text(3), st.text(4), st.text(5)};
}

void setProblem(QString* problem, const QString& text)
{
    if (problem)
        *problem = text;
}

}  // namespace

QString tooLongMessage(const QString& fieldName)
{
    return QStringLiteral("“%1”不能超过%2个字！").arg(fieldName).arg(kShortColumnWidth);
}

QString unstorableMessage(const QString& fieldName)
{
    return QStringLiteral("“%1”中有无法保存的字符！").arg(fieldName);
}

// ---- RecordKeyIssuer ----------------------------------------------------------------------

QString RecordKeyIssuer::issue(const QDateTime& now)
{
    QDateTime candidate = now.addMSecs(-now.time().msec());
    if (m_last.isValid() && candidate <= m_last)
        candidate = m_last.addSecs(1);
    while (isStored(recordKey(candidate)))
        candidate = candidate.addSecs(1);
    m_last = candidate;
    return recordKey(candidate);
}

bool RecordKeyIssuer::isStored(const QString& key) const
{
    if (!m_records)
        return false;
    Statement st = m_records->prepare(kKeyStored);
    st.bind(1, key);
    return st.next();
}

// ---- RecordStore --------------------------------------------------------------------------

SaveResult RecordStore::save(const Prescription& p, int currentYear)
{
    SaveResult result;
    // The checks the schema would make, made first so the doctor learns which field to mend.
    if (p.fields[headingIndex(HeadingField::Name)].isEmpty()) {
        result.problem = kMissingNameMessage;
        return result;
    }
    const std::optional<QDate> visitDate = parseVisitDate(p.fields[headingIndex(HeadingField::Date)]);
    if (!visitDate) {
        result.problem = kBadDateMessage;
        return result;
    }
    for (int i = 0; i < kHeadingFieldCount; ++i) {
        if (i != headingIndex(HeadingField::Date) && characterCount(p.fields[i]) > kShortColumnWidth) {
            result.problem = tooLongMessage(headingFieldName(i));
            return result;
        }
    }
    if (characterCount(p.title) > kShortColumnWidth) {
        result.problem = tooLongMessage(QStringLiteral("处方标题"));
        return result;
    }
    if (characterCount(p.kind) > kShortColumnWidth) {
        result.problem = tooLongMessage(QStringLiteral("处方类别"));
        return result;
    }
    // A text UTF-8 cannot carry would be refused by the store; the doctor learns which one.
    for (int i = 0; i < kHeadingFieldCount; ++i) {
        if (!isStorableText(p.fields[i])) {
            result.problem = unstorableMessage(headingFieldName(i));
            return result;
        }
    }
    const std::pair<const QString*, const char*> texts[] = {
        {&p.title, "处方标题"}, {&p.kind, "处方类别"}, {&p.body, "处方正文"},
        {&p.injectionCard, "注射卡"}, {&p.history, "病史记录"}};
    for (const auto& [text, name] : texts) {
        if (!isStorableText(*text)) {
            result.problem = unstorableMessage(QString::fromUtf8(name));
            return result;
        }
    }
    if (!m_db) {
        result.problem = kSaveFailedMessage;
        return result;
    }

    Statement& updateRecord = prepared(kUpdateRecord);
    Statement& insertRecord = prepared(kInsertRecord);
    Transaction transaction(*m_db);
    const QString isoVisitDate = isoDate(*visitDate);
    if (!transaction.isActive()
        || !updateOrInsert(*m_db, updateRecord, insertRecord,
                           [&](Statement& st) { bindRecord(st, p, isoVisitDate); })) {
        result.problem = kSaveFailedMessage;
        return result;
    }

    // The name is known to be filled; the age decides (exactly empty: a blank counts as filled).
    QString patient;
    if (!p.fields[headingIndex(HeadingField::Age)].isEmpty()) {
        const QString year = birthYear(p.fields[headingIndex(HeadingField::Age)], currentYear);
        patient = patientKey(p.fields[headingIndex(HeadingField::Name)], year);
        // The register is a convenience for the next visit: a patient row it refuses (no sex,
        // a key too long) must not cost the doctor the prescription, so it has its own savepoint.
        const bool marked = m_db->exec("SAVEPOINT patient");
        if (marked
            && m_patients.write(p, patient, year)) {
            result.patient = SaveResult::PatientRow::Written;
        } else {
            if (marked)
                m_db->exec("ROLLBACK TO patient");
            result.patient = SaveResult::PatientRow::Refused;
            result.patientNote =
                p.fields[headingIndex(HeadingField::Sex)].isEmpty() ? kPatientWithoutSexNote : kPatientRefusedNote;
        }
        if (marked)
            m_db->exec("RELEASE patient");
    }

    if (!transaction.commit()) {
        result = SaveResult();
        result.problem = kSaveFailedMessage;
        return result;
    }
    result.stored = true;
    if (m_indexes) {
        m_indexes->recordNameWritten(p.fields[headingIndex(HeadingField::Name)]);
        m_indexes->recordWritten(p.key);
    }
    if (result.patient == SaveResult::PatientRow::Written)
        m_patients.committed(patient);
    return result;
}

RecordList RecordStore::list(const QString& nameFilter, const QDate& from, const QDate& to) const
{
    RecordList result;
    if (!from.isValid() || !to.isValid()) {
        result.problem = kBadDateRangeMessage;
        return result;
    }
    if (!m_db) {
        result.problem = kRecordsUnavailableMessage;
        return result;
    }
    const RecordOrderIndex* order = m_indexes && nameFilter.isEmpty() ? m_indexes->recordOrder() : nullptr;
    if (std::optional<QList<qint64>> ids =
            order ? order->between(RecordOrderIndex::dayNumber(from.year(), from.month(), from.day()),
                                   RecordOrderIndex::dayNumber(to.year(), to.month(), to.day()))
                  : std::nullopt) {
        result.rowIds = std::move(*ids);
        result.ok = true;
        return result;
    }
    const NameIndex* names = m_indexes && hasNameDateIndex() ? m_indexes->recordNames() : nullptr;
    const std::optional<QStringList> matching =
        names ? names->containing(nameFilter, kMostNamesFirst) : std::nullopt;
    if (matching && matching->isEmpty()) {
        result.ok = true;
        return result;
    }
    if (matching)
        return listOfNames(*matching, from, to);
    Statement& st = prepared(nameFilter.isEmpty() ? kListAllRecords : kListRecords);
    if (nameFilter.isEmpty())
        st.bindAll(isoDate(from), isoDate(to));
    else
        st.bindAll(likeContains(nameFilter), isoDate(from), isoDate(to));
    KeyOrder listed;
    while (st.next())
        listed.add(st.utf8(1), st.integer(0));
    const bool ok = st.ok();
    st.reset();
    if (!ok) {
        result.problem = kRecordsUnavailableMessage;
        return result;
    }
    result.rowIds = listed.rowIds();
    result.ok = true;
    return result;
}

bool RecordStore::listWaitsForIndex(const QString& nameFilter, const QDate& from, const QDate& to) const
{
    // A quarter of a busy clinic's records is read from the database in a few tens of milliseconds.
    constexpr qint64 kLongestRangeWithoutIndex = 92;
    if (!m_db || !m_indexes || !from.isValid() || !to.isValid() || from.daysTo(to) <= kLongestRangeWithoutIndex)
        return false;
    if (nameFilter.isEmpty())
        return m_indexes->isLoading(SearchIndexes::RecordOrder);
    return m_indexes->isLoading(SearchIndexes::RecordNames) && hasNameDateIndex();
}

RecordList RecordStore::listOfNames(const QStringList& names, const QDate& from, const QDate& to) const
{
    RecordList result;
    KeyOrder listed;
    Statement& st = prepared(kListRecordsOfName);
    for (const QString& name : names) {
        st.reset();
        st.bindAll(name, isoDate(from), isoDate(to));
        while (st.next())
            listed.add(st.utf8(1), st.integer(0));
        if (!st.ok()) {
            st.reset();
            result.problem = kRecordsUnavailableMessage;
            return result;
        }
    }
    st.reset();
    result.rowIds = listed.rowIds();
    result.ok = true;
    return result;
}

std::optional<RecordListRow> RecordStore::listRow(qint64 rowId) const
{
    if (!m_db)
        return std::nullopt;
    Statement& st = prepared(kListRow);
    st.bind(1, rowId);
    std::optional<RecordListRow> row;
    if (st.next())
        row = RecordListRow{rowId, st.text(4), recordListItemText(st.text(0), st.text(1), st.text(2), st.text(3))};
    st.reset();
    return row;
}

bool RecordStore::hasNameDateIndex() const
{
    // A file made before the index existed lists by scanning the date range instead, which is
    // quicker there than one scan per name.
    if (!m_hasNameDateIndex) {
        Statement& st = prepared(kNameDateIndex);
        m_hasNameDateIndex = st.next();
        st.reset();
    }
    return *m_hasNameDateIndex;
}

Statement& RecordStore::prepared(std::string_view sql) const { return m_prepared.get(sql); }

RecordList RecordStore::list(const QString& nameFilter, const QString& fromText,
                             const QString& toText) const
{
    const std::optional<QDate> from = parseVisitDate(fromText);
    const std::optional<QDate> to = parseVisitDate(toText);
    if (!from || !to) {
        RecordList result;
        result.problem = kBadDateRangeMessage;
        return result;
    }
    return list(nameFilter, *from, *to);
}

std::optional<Prescription> RecordStore::open(qint64 rowId, QString* problem) const
{
    if (!m_db) {
        setProblem(problem, kRecordsUnavailableMessage);
        return std::nullopt;
    }
    Statement st = m_db->prepare(kOpenByRowId);
    st.bind(1, rowId);
    return read(st, problem);
}

std::optional<Prescription> RecordStore::openByKey(const QString& key, QString* problem) const
{
    if (!m_db) {
        setProblem(problem, kRecordsUnavailableMessage);
        return std::nullopt;
    }
    Statement st = m_db->prepare(kOpenByKey);
    st.bind(1, key);
    return read(st, problem);
}

std::optional<Prescription> RecordStore::read(Statement& st, QString* problem) const
{
    if (!st.next()) {
        // No row is no failure: the record was deleted meanwhile, or never stored.
        setProblem(problem, st.ok() ? QString() : kRecordsUnavailableMessage);
        return std::nullopt;
    }
    Prescription p;
    for (int i = 0; i < kHeadingFieldCount; ++i)
        p.fields[i] = st.text(headingFieldColumn(i));
    // An empty kind would leave the kind box with nothing to cycle from: it gets the default,
    // and a missing title the one that goes with the kind.
    p.kind = st.text("C2");
    if (p.kind.isEmpty())
        p.kind = kDefaultKind;
    p.title = st.text("C1");
    if (p.title.isEmpty())
        p.title = titleOfKind(p.kind);
    p.body = inMemoryLineBreaks(st.text("T1"));
    p.injectionCard = inMemoryLineBreaks(st.text("T2"));
    p.history = inMemoryLineBreaks(st.text("T3"));
    p.key = st.text("名称");
    return p;
}

bool RecordStore::remove(const QString& key, QString* problem)
{
    if (!m_db) {
        setProblem(problem, kRecordsUnavailableMessage);
        return false;
    }
    Statement st = m_db->prepare(kDeleteRecord);
    st.bind(1, key);
    if (!st.run()) {
        setProblem(problem, kRecordsUnavailableMessage);
        return false;
    }
    const bool removed = m_db->changes() > 0;
    if (removed && m_indexes)
        m_indexes->recordWritten(key);
    return removed;
}

// ---- the outpatient log, the statistics, the infusion card ------------------------------------

std::optional<QList<LogRow>> RecordStore::visits(const QDate& from, const QDate& to) const
{
    if (!m_db)
        return std::nullopt;
    Statement st = m_db->prepare(kLogQuery);
    st.bindAll(isoDate(from), isoDate(to));
    QList<LogRow> rows;
    while (st.next())
        rows.append(logRowOf(st));
    if (!st.ok())
        return std::nullopt;
    return rows;
}

std::optional<QList<qint64>> RecordStore::visitRowIds(const QDate& from, const QDate& to) const
{
    if (!m_db)
        return std::nullopt;
    Statement st = m_db->prepare(kLogRowIdQuery);
    st.bindAll(isoDate(from), isoDate(to));
    QList<qint64> ids;
    while (st.next())
        ids.append(st.integer(0));
    if (!st.ok())
        return std::nullopt;
    return ids;
}

LogRow RecordStore::visit(qint64 rowId) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(kLogRowQuery);
    st.bind(1, rowId);
    return st.next() ? logRowOf(st) : LogRow{};
}

bool RecordStore::readFees(const QDate& from, const QDate& to,
                           const std::function<void(const QString& drugFee, const QString& otherFee)>& fees) const
{
    if (!m_db)
        return false;
    Statement st = m_db->prepare(kStatisticsQuery);
    st.bindAll(isoDate(from), isoDate(to));
    while (st.next())
        fees(st.text(0), st.text(1));
    return st.ok();
}

CardColumnsRead RecordStore::cardColumns(const QString& key) const
{
    CardColumnsRead result;
    if (!m_db)
        return result;
    Statement query = m_db->prepare(kReadCard);
    query.bind(1, key);
    if (!query.next()) {
        if (query.isValid() && query.ok())
            result.status = CardColumnsRead::Status::NoRecord;
        return result;
    }
    for (int i = 0; i < int(result.columns.size()); ++i)
        result.columns[i] = query.text(i);
    result.status = CardColumnsRead::Status::Found;
    return result;
}

RecordStore::ColumnsWrite RecordStore::writeCardColumns(const QString& key, const StoredInfusionCard& columns)
{
    if (!m_db)
        return ColumnsWrite::Failed;
    Statement update = m_db->prepare(kWriteCard);
    update.bindAll(columns[0], columns[1], columns[2], columns[3], columns[4], key);
    if (!update.run())
        return ColumnsWrite::Failed;
    return m_db->changes() > 0 ? ColumnsWrite::Written : ColumnsWrite::NoRecord;
}

QList<NamedQuery> RecordStore::queries()
{
    return {{"record list", kListRecords},
            {"record list of every name", kListAllRecords},
            {"record list of a name", kListRecordsOfName},
            {"record list item", kListRow},
            {"open record", kOpenByRowId},
            {"open record by key", kOpenByKey},
            {"update record", kUpdateRecord},
            PatientStore::writeQueries().constFirst(),
            {"key stored", kKeyStored},
            {"delete record", kDeleteRecord}};
}

}  // namespace qelvaro
