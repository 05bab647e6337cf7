#pragma once

namespace qelvaro {

class Clock;
class DataStore;
class MessageSink;
class SettingsCopy;
class UrlOpener;

// What every window of the program is given: the data, the settings working copy and the seams
// that tests replace (messages, browser, clock).
struct AppContext {
    DataStore& store;
    SettingsCopy& settings;
    MessageSink& messages;
    UrlOpener& urls;
    Clock& clock;
};

}  // namespace qelvaro
