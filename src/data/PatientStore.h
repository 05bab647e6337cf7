#pragma once

#include "Database.h"
#include "NamedQuery.h"
#include "PreparedStatements.h"

#include <QList>
#include <QString>

#include <optional>

namespace qelvaro {

struct Prescription;
class SearchIndexes;

// A patient the register holds, as the look-up lists it.
struct ListedPatient {
    qint64 rowId = 0;
    QString name;
    QString birthYear;  // 出生年月 as stored
};

// What the register holds of one patient.
struct PatientRow {
    QString name;
    QString sex;
    QString birthYear;
    QString feeClass;
    QString cardNumber;
    QString address;
    QString diagnosis;
    QString allergy;
    QString pastHistory;
    QString telephone;
};

// The patient register (table 患者信息 of the records database): the only place with SQL on it.
// A saved prescription writes its patient's row; the heading's look-up reads them.
class PatientStore {
public:
    // With search indexes, a committed write keeps the patient index current.
    explicit PatientStore(Database* records, SearchIndexes* indexes = nullptr)
        : m_db(records), m_indexes(indexes), m_prepared(records)
    {
    }

    // Writes the register row of this key from the prescription's heading (updated, or inserted
    // when there is none), within the caller's transaction; false when the register refuses it.
    bool write(const Prescription& prescription, const QString& key, const QString& year);
    // The transaction that wrote the row of this key was committed: the patient index learns it.
    void committed(const QString& key);

    // Patients whose register key contains the typed text, by rowid.
    QList<ListedPatient> matching(const QString& typed) const;
    std::optional<PatientRow> read(qint64 rowId) const;

    // The look-ups' queries (patient look-up, take patient) and the save's (update patient).
    static QList<NamedQuery> lookupQueries();
    static QList<NamedQuery> writeQueries();

private:
    Database* m_db;
    SearchIndexes* m_indexes;
    PreparedStatements m_prepared;
};

}  // namespace qelvaro
