#include "SearchIndexes.h"

#include "Database.h"

#include <QMetaObject>

namespace qelvaro {

SearchIndexes::~SearchIndexes()
{
    if (m_loader.joinable())
        m_loader.join();
}

SearchIndexes::Loaded SearchIndexes::read(Database* records, Database* settings)
{
    Loaded loaded;
    if (settings && settings->isOpen()) {
        auto drugs = std::make_unique<DrugIndex>();
        if (drugs->load(*settings))
            loaded.drugs = std::move(drugs);
    }
    if (records && records->isOpen()) {
        auto patients = std::make_unique<PatientIndex>();
        if (patients->load(*records))
            loaded.patients = std::move(patients);
        auto names = std::make_unique<NameIndex>();
        if (names->load(*records))
            loaded.recordNames = std::move(names);
        auto order = std::make_unique<RecordOrderIndex>();
        if (order->load(*records))
            loaded.recordOrder = std::move(order);
    }
    return loaded;
}

void SearchIndexes::loadNow(Database* records, Database* settings)
{
    if (m_loader.joinable())
        m_loader.join();
    m_records = records;
    m_settings = settings;
    m_loading = true;
    install(read(records, settings));
}

void SearchIndexes::loadInBackground(Database* records, OpenReader openRecords, Database* settings,
                                     OpenReader openSettings)
{
    if (m_loading || m_loader.joinable())
        return;
    m_records = records;
    m_settings = settings;
    m_loading = true;
    m_loader = std::thread([this, openRecords = std::move(openRecords), openSettings = std::move(openSettings)] {
        const std::unique_ptr<Database> ownRecords = openRecords ? openRecords() : nullptr;
        const std::unique_ptr<Database> ownSettings = openSettings ? openSettings() : nullptr;
        auto loaded = std::make_shared<Loaded>(read(ownRecords.get(), ownSettings.get()));
        // Handed over on the thread that owns this object; dropped if it is gone by then.
        QMetaObject::invokeMethod(this, [this, loaded] { install(std::move(*loaded)); }, Qt::QueuedConnection);
    });
}

void SearchIndexes::install(Loaded indexes)
{
    if (m_loader.joinable())
        m_loader.join();
    m_drugs = std::move(indexes.drugs);
    m_patients = std::move(indexes.patients);
    m_recordNames = std::move(indexes.recordNames);
    m_recordOrder = std::move(indexes.recordOrder);
    m_loading = false;
    // Writes the thread may not have seen are read again from the program's connections.
    for (const qint64 rowId : std::exchange(m_drugsWhileLoading, {}))
        drugWritten(rowId);
    for (const QString& key : std::exchange(m_patientsWhileLoading, {}))
        patientWritten(key);
    for (const QString& name : std::exchange(m_namesWhileLoading, {}))
        recordNameWritten(name);
    for (const QString& key : std::exchange(m_recordKeysWhileLoading, {}))
        recordWritten(key);
    emit loaded();
}

void SearchIndexes::drugWritten(qint64 rowId)
{
    if (m_loading)
        m_drugsWhileLoading.insert(rowId);
    else if (m_drugs && m_settings)
        m_drugs->refresh(*m_settings, rowId);
}

void SearchIndexes::patientWritten(const QString& key)
{
    if (m_loading)
        m_patientsWhileLoading.insert(key);
    else if (m_patients && m_records)
        m_patients->refresh(*m_records, key);
}

void SearchIndexes::recordNameWritten(const QString& name)
{
    if (m_loading)
        m_namesWhileLoading.insert(name);
    else if (m_recordNames)
        m_recordNames->add(name);
}

void SearchIndexes::recordWritten(const QString& key)
{
    if (m_loading)
        m_recordKeysWhileLoading.insert(key);
    else if (m_recordOrder && (!m_records || !m_recordOrder->refresh(*m_records, key)))
        m_recordOrder.reset();  // the list reads the database from now on
}

}  // namespace qelvaro
