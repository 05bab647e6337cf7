#pragma once

#include "Database.h"
#include "InfusionCardFormat.h"
#include "NamedQuery.h"
#include "PatientStore.h"
#include "PreparedStatements.h"
#include "Prescription.h"
#include "SearchIndexes.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <string_view>

namespace qelvaro {

inline const QString kMissingNameMessage = QStringLiteral("请填写患者姓名！");
inline const QString kBadDateMessage = QStringLiteral("请填写正确格式的日期！日期格式为“2016-01-03”。");
inline const QString kBadDateRangeMessage =
    QStringLiteral("请填写正确格式的起止日期！日期格式为“2016-01-03”。");
inline const QString kSaveFailedMessage = QStringLiteral("处方保存失败！");
inline const QString kRecordsUnavailableMessage = QStringLiteral("档案数据库无法使用！");
inline const QString kPatientWithoutSexNote = QStringLiteral("处方已保存，但性别为空，未登记患者信息。");
inline const QString kPatientRefusedNote = QStringLiteral("处方已保存，但患者信息未能登记。");

// Widest text the record's short columns take, in characters.
inline constexpr int kShortColumnWidth = 50;

// The messages for a text too long for its column, or holding a character that cannot be stored
// (a lone surrogate), naming the field.
QString tooLongMessage(const QString& fieldName);
QString unstorableMessage(const QString& fieldName);

// Gives each new prescription its record key: the time it was begun, moved on by a second while
// the key was already given out in this run or is already stored, so no two prescriptions share
// a row.
class RecordKeyIssuer {
public:
    explicit RecordKeyIssuer(Database* records) : m_records(records) {}
    QString issue(const QDateTime& now);

private:
    bool isStored(const QString& key) const;

    Database* m_records;
    QDateTime m_last;
};

struct SaveResult {
    enum class PatientRow {
        NotWanted,  // name or age empty: the register is left alone
        Written,
        Refused,  // the prescription is stored all the same; patientNote says why
    };

    bool stored = false;
    QString problem;  // why nothing was stored; a message for the doctor
    PatientRow patient = PatientRow::NotWanted;
    QString patientNote;

    explicit operator bool() const { return stored; }
};

struct RecordListRow {
    qint64 rowId = 0;
    QString key;
    QString itemText;
};

// A record list holds the row ids alone, in list order: the item texts are read when shown, so a
// list of half a million records is read in one statement and shown at once.
struct RecordList {
    bool ok = false;
    QString problem;
    QList<qint64> rowIds;
};

// One visit of the outpatient log: the record's texts as stored, a null column read as empty.
struct LogRow {
    QString name;       // 0
    QString sex;        // 1
    QString age;        // 2
    QString diagnosis;  // 8
    QString address;    // 6
    QString date;       // 9, "yyyy-MM-dd"
    bool operator==(const LogRow&) const = default;
};

// The infusion card columns T4..T8 of a record, as read.
struct CardColumnsRead {
    enum class Status { Found, NoRecord, Failed };
    Status status = Status::Failed;
    StoredInfusionCard columns;
};

// The stored prescriptions (table 档案): the only place with SQL on it. A save keeps the patient
// register (PatientStore) up to date as well. Every operation fails cleanly, with a reason, when
// there is no records database.
class RecordStore {
public:
    // With search indexes, a save or a removal keeps the record and patient indexes current.
    explicit RecordStore(Database* records, SearchIndexes* indexes = nullptr)
        : m_db(records), m_indexes(indexes), m_patients(records, indexes), m_prepared(records)
    {
    }

    // Stores the prescription under its key: nothing at all when it fails (the problem says why).
    // The prescription row and the patient row are one transaction; a patient row the register
    // refuses is left out without undoing the prescription.
    SaveResult save(const Prescription& prescription, int currentYear);

    // Records whose name contains the filter literally and whose visit date lies in [from, to],
    // newest key first.
    RecordList list(const QString& nameFilter, const QDate& from, const QDate& to) const;
    // Whether list() of these would be better asked once the index it uses is read (at start): a
    // long range, of every name while the record order loads, or by name while the record names
    // load. The database answers those only slowly (a tenth to half a second on a busy clinic's
    // ten years, the window frozen meanwhile).
    bool listWaitsForIndex(const QString& nameFilter, const QDate& from, const QDate& to) const;
    // The same with the two dates as typed; a date that does not parse is the range message.
    RecordList list(const QString& nameFilter, const QString& fromText, const QString& toText) const;

    // The key and the item text of a listed row; no value when the row is gone.
    std::optional<RecordListRow> listRow(qint64 rowId) const;

    std::optional<Prescription> open(qint64 rowId, QString* problem = nullptr) const;
    std::optional<Prescription> openByKey(const QString& key, QString* problem = nullptr) const;

    // Deletes the record with this key; false when none has it (nothing changes) or on a failure,
    // which sets the problem.
    bool remove(const QString& key, QString* problem = nullptr);

    // The outpatient log's reads of the visits whose date lies in [from, to], by date, then
    // name, then row; no value when the read failed (or there is no database). The visit of one
    // row id is empty when it is gone.
    std::optional<QList<LogRow>> visits(const QDate& from, const QDate& to) const;
    std::optional<QList<qint64>> visitRowIds(const QDate& from, const QDate& to) const;
    LogRow visit(qint64 rowId) const;

    // The statistics' read: the two fees (drug fee, other fee) of every record whose date lies in
    // [from, to]; false when the read failed.
    bool readFees(const QDate& from, const QDate& to,
                  const std::function<void(const QString& drugFee, const QString& otherFee)>& fees) const;

    // The infusion card's columns of the record with this key, and their rewrite (nothing else
    // of the row); NoRecord when no record has the key.
    CardColumnsRead cardColumns(const QString& key) const;
    enum class ColumnsWrite { Written, NoRecord, Failed };
    ColumnsWrite writeCardColumns(const QString& key, const StoredInfusionCard& columns);

    static QList<NamedQuery> queries();

private:
    std::optional<Prescription> read(Statement& query, QString* problem) const;
    RecordList listOfNames(const QStringList& names, const QDate& from, const QDate& to) const;
    bool hasNameDateIndex() const;
    // The statement of this SQL text, prepared once on the connection and ready to run again;
    // an invalid statement once the connection is closed.
    Statement& prepared(std::string_view sql) const;

    Database* m_db;
    SearchIndexes* m_indexes = nullptr;
    PatientStore m_patients;
    mutable PreparedStatements m_prepared;
    mutable std::optional<bool> m_hasNameDateIndex;
};

}  // namespace qelvaro
