#pragma once

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
    DataStore& store;
    SettingsCopy& settings;
    MessageSink& messages;
    UrlOpener& urls;
    Clock& clock;
    // Where printouts go: the default printer in the program, a PDF file or a recorder in tests.
    PrintTarget* printTarget = nullptr;
};

}  // namespace qelvaro
