#pragma once

#include "CatalogueChanges.h"
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

// What every window of the program is given: the data, the settings working copy and the seams
// that tests replace (messages, browser, clock, printer).
struct AppContext {
    AppContext(DataStore& store, SettingsCopy& settings, MessageSink& messages, UrlOpener& urls, Clock& clock,
               PrintTarget* printTarget = nullptr)
        : store(store), settings(settings), messages(messages), urls(urls), clock(clock), printTarget(printTarget)
    {
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
