#pragma once

#include "SearchIndexes.h"

#include <QObject>
#include <QString>

namespace qelvaro {

class Clock;
class DataStore;
class MessageSink;
class PrintTarget;
class SettingsCopy;
class UrlOpener;

// Tells the parts that keep catalogue rows in memory (search indexes, the editor's pickers and
// popups) that the program changed a catalogue table of the settings database. Sent after the
// change is committed; `table` is the stored table name (药品, 诊断, 地址, 个人组套, 病史模板).
class CatalogueChanges : public QObject {
    Q_OBJECT
signals:
    void rowWritten(const QString& table, qint64 rowId);  // inserted or updated
    void rowRemoved(const QString& table, qint64 rowId);
};

// What every window of the program is given: the data, the settings working copy and the seams
// that tests replace (messages, browser, clock, printer).
struct AppContext {
    AppContext(DataStore& store, SettingsCopy& settings, MessageSink& messages, UrlOpener& urls, Clock& clock,
               PrintTarget* printTarget = nullptr)
        : store(store), settings(settings), messages(messages), urls(urls), clock(clock), printTarget(printTarget)
    {
        // The drug index follows every write of the drug catalogue.
        const auto drugChanged = [this](const QString& table, qint64 rowId) {
            if (table == QStringLiteral("药品"))
                searchIndexes.drugWritten(rowId);
        };
        QObject::connect(&catalogueChanges, &CatalogueChanges::rowWritten, &searchIndexes, drugChanged);
        QObject::connect(&catalogueChanges, &CatalogueChanges::rowRemoved, &searchIndexes, drugChanged);
    }

    DataStore& store;
    SettingsCopy& settings;
    MessageSink& messages;
    UrlOpener& urls;
    Clock& clock;
    // Where printouts go: the default printer in the program, a PDF file or a recorder in tests.
    PrintTarget* printTarget = nullptr;
    CatalogueChanges catalogueChanges;
    // The typed searches' indexes; empty until loaded (Application loads them once the main window shows).
    SearchIndexes searchIndexes;
};

}  // namespace qelvaro
