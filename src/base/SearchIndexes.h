#pragma once

#include "SearchIndex.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <thread>

namespace qelvaro {

class Database;

// The program's in-memory search indexes: the drug codes, the patient keys, the names of the
// stored prescriptions and the record list's order. They are read in
// the background, each from a connection of its own, so neither the login nor the main window
// waits for them; until they are there (or when reading them failed) drugs() and patients() are
// null and the searches ask the database. Every write of the program is passed on here, so an
// index always answers as the tables would; writes made while the indexes are being read are
// applied when they arrive.
class SearchIndexes : public QObject {
    Q_OBJECT
public:
    using OpenReader = std::function<std::unique_ptr<Database>()>;

    SearchIndexes() = default;
    ~SearchIndexes() override;
    SearchIndexes(const SearchIndexes&) = delete;
    SearchIndexes& operator=(const SearchIndexes&) = delete;

    enum Index { Patients = 1, RecordNames = 2, Drugs = 4, RecordOrder = 8 };

    // Starts reading the indexes on a thread of its own, the small ones first; each is used as
    // soon as it is read. records and settings are the program's connections, which keep the
    // indexes current afterwards; the openers give the thread its own.
    void loadInBackground(Database* records, OpenReader openRecords, Database* settings, OpenReader openSettings);
    // Reads the indexes now, from the program's connections.
    void loadNow(Database* records, Database* settings);
    bool isLoading() const { return m_loading != 0; }
    bool isLoading(Index index) const { return (m_loading & index) != 0; }

    const DrugIndex* drugs() const { return m_drugs.get(); }
    const PatientIndex* patients() const { return m_patients.get(); }
    const NameIndex* recordNames() const { return m_recordNames.get(); }
    const RecordOrderIndex* recordOrder() const { return m_recordOrder.get(); }

    // What the program changed: a row of 药品 inserted, updated or deleted (read again, or let go
    // when it is gone); the register rows of a key.
    void drugChanged(qint64 rowId);
    void patientWritten(const QString& key);
    // A prescription was stored under this patient name.
    void recordNameWritten(const QString& name);
    // The prescription rows under this key were saved or deleted.
    void recordWritten(const QString& key);

signals:
    // One more index has been read (or failed to be); isLoading() tells which are still to come.
    void indexRead();

private:
    // What one step of the reading gives: the index named, null when it could not be read.
    struct Loaded {
        Index index;
        std::unique_ptr<DrugIndex> drugs;
        std::unique_ptr<PatientIndex> patients;
        std::unique_ptr<NameIndex> recordNames;
        std::unique_ptr<RecordOrderIndex> recordOrder;
    };
    static void read(Database* records, Database* settings, const std::function<void(Loaded)>& deliver);
    void install(Loaded part);

    Database* m_records = nullptr;
    Database* m_settings = nullptr;
    std::unique_ptr<DrugIndex> m_drugs;
    std::unique_ptr<PatientIndex> m_patients;
    std::unique_ptr<NameIndex> m_recordNames;
    std::unique_ptr<RecordOrderIndex> m_recordOrder;
    int m_loading = 0;  // the Index values still being read
    QSet<qint64> m_drugsWhileLoading;
    QSet<QString> m_patientsWhileLoading;
    QSet<QString> m_namesWhileLoading;
    QSet<QString> m_recordKeysWhileLoading;
    std::thread m_loader;
};

}  // namespace qelvaro
