#include "SearchIndexes.h"

#include "Database.h"

#include <QMetaObject>

namespace qelvaro {

SearchIndexes::~SearchIndexes()
{
    if (m_loader.joinable())
        m_loader.join();
}

void SearchIndexes::read(Database* records, Database* settings, const std::function<void(Loaded)>& deliver)
{
    const auto readInto = [](Database* db, auto& index) {
        auto fresh = std::make_unique<typename std::remove_reference_t<decltype(index)>::element_type>();
        if (db && db->isOpen() && fresh->load(*db))
            index = std::move(fresh);
    };
    Loaded patients{Patients, {}, {}, {}, {}};
    readInto(records, patients.patients);
    deliver(std::move(patients));
    Loaded names{RecordNames, {}, {}, {}, {}};
    readInto(records, names.recordNames);
    deliver(std::move(names));
    Loaded drugs{Drugs, {}, {}, {}, {}};
    readInto(settings, drugs.drugs);
    deliver(std::move(drugs));
    Loaded order{RecordOrder, {}, {}, {}, {}};
    readInto(records, order.recordOrder);
    deliver(std::move(order));
}

void SearchIndexes::loadNow(Database* records, Database* settings)
{
    if (m_loader.joinable())
        m_loader.join();
    m_records = records;
    m_settings = settings;
    m_loading = Patients | RecordNames | Drugs | RecordOrder;
    read(records, settings, [this](Loaded loaded) { install(std::move(loaded)); });
}

void SearchIndexes::loadInBackground(Database* records, OpenReader openRecords, Database* settings,
                                     OpenReader openSettings)
{
    if (m_loading || m_loader.joinable())
        return;
    m_records = records;
    m_settings = settings;
    m_loading = Patients | RecordNames | Drugs | RecordOrder;
    m_loader = std::thread([this, openRecords = std::move(openRecords), openSettings = std::move(openSettings)] {
        const std::unique_ptr<Database> ownRecords = openRecords ? openRecords() : nullptr;
        const std::unique_ptr<Database> ownSettings = openSettings ? openSettings() : nullptr;
        read(ownRecords.get(), ownSettings.get(), [this](Loaded loaded) {
            // Handed over on the thread that owns this object; dropped if it is gone by then.
            auto handed = std::make_shared<Loaded>(std::move(loaded));
            QMetaObject::invokeMethod(this, [this, handed] { install(std::move(*handed)); }, Qt::QueuedConnection);
        });
    });
}

void SearchIndexes::install(Loaded part)
{
    m_loading &= ~part.index;
    // Writes the thread may not have seen are read again from the program's connections.
    switch (part.index) {
    case Patients:
        m_patients = std::move(part.patients);
        for (const QString& key : std::exchange(m_patientsWhileLoading, {}))
            patientWritten(key);
        break;
    case RecordNames:
        m_recordNames = std::move(part.recordNames);
        for (const QString& name : std::exchange(m_namesWhileLoading, {}))
            recordNameWritten(name);
        break;
    case Drugs:
        m_drugs = std::move(part.drugs);
        for (const qint64 rowId : std::exchange(m_drugsWhileLoading, {}))
            drugChanged(rowId);
        break;
    case RecordOrder:
        m_recordOrder = std::move(part.recordOrder);
        for (const QString& key : std::exchange(m_recordKeysWhileLoading, {}))
            recordWritten(key);
        break;
    }
    // The thread's last step was the last hand-over.
    if (!m_loading && m_loader.joinable())
        m_loader.join();
    emit indexRead();
}

void SearchIndexes::drugChanged(qint64 rowId)
{
    if (isLoading(Drugs))
        m_drugsWhileLoading.insert(rowId);
    else if (m_drugs && m_settings)
        m_drugs->refresh(*m_settings, rowId);
}

void SearchIndexes::patientWritten(const QString& key)
{
    if (isLoading(Patients))
        m_patientsWhileLoading.insert(key);
    else if (m_patients && m_records)
        m_patients->refresh(*m_records, key);
}

void SearchIndexes::recordNameWritten(const QString& name)
{
    if (isLoading(RecordNames))
        m_namesWhileLoading.insert(name);
    else if (m_recordNames)
        m_recordNames->add(name);
}

void SearchIndexes::recordWritten(const QString& key)
{
    if (isLoading(RecordOrder))
        m_recordKeysWhileLoading.insert(key);
    else if (m_recordOrder && (!m_records || !m_recordOrder->refresh(*m_records, key)))
        m_recordOrder.reset();  // the list reads the database from now on
}

}  // namespace qelvaro
