#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace qelvaro {

class Database;

// The settings row (table 设置) has its SQL here only: the working copy below, the print settings
// the card and log windows keep for themselves, and the clinic name as stored.

// The working copy of the one settings row (table 设置). Every reader (new prescription defaults,
// the print margins, fonts and overlay items, the log's doctor) reads from here, never from the
// row. Reading while not loaded loads the copy from the row. The settings window edits the copy
// in place, so unsaved edits take effect at once; 保存 writes the row, and 保存, 取消 or a
// successful password change unload the copy, so the next read takes the row afresh.
class SettingsCopy : public QObject {
    Q_OBJECT
public:
    // The 23 overlay items in index order; each name is also the stem of its three columns.
    static const QStringList& overlayItemNames();
    static constexpr int kOverlayItemCount = 23;

    struct OverlayItem {
        bool printed = false;  // ticked: the stored flag "1"
        QString left;  // millimetres as the box shows them ("26", or "12.5mm" while being edited)
        QString top;
        bool greyed = false;  // the stored flag "2": shown greyed, and like an unticked item never printed
    };

    // The texts the working copy holds, one per control of the settings window.
    struct Values {
        QString clinicName;   // 名称
        QString doctor;       // 医生
        QString dispenser;    // 配药
        QString reviewer;     // 复核
        QString department;   // 科别
        QString feeClass;     // 费别
        QString sheetLeft;    // 左边距
        QString sheetTop;     // 上边距
        bool portrait = false;  // 竖打: "0" landscape, anything else portrait
        QString fontName;     // 字体
        QString fontSize;     // 大小
        QString cardLeft;     // 左边距1
        QString cardTop;      // 上边距1
        QString overlayLeft;  // 左边距5
        QString overlayTop;   // 上边距5
        std::array<OverlayItem, kOverlayItemCount> overlay;
    };

    explicit SettingsCopy(Database* settings, QObject* parent = nullptr);

    bool isLoaded() const { return m_loaded; }
    // The copy, loaded from the row first when it is not loaded.
    const Values& values();
    // Edits the copy in place (the settings window's controls write through this).
    Values& edit();

    // Writes the copy into the row. On success the copy is unloaded and clinicNameSaved is
    // emitted; on a refusal (a text too long for its column, an emptied column that must hold a
    // value) the row stays as it was, the copy stays loaded with the edits and *error says why.
    bool save(QString* error = nullptr);
    void unload();

signals:
    void loaded();
    void unloaded();
    void clinicNameSaved(const QString& name);

private:
    void load();

    Database* m_db;
    Values m_values;
    bool m_loaded = false;
};

// The print settings that a card or log window keeps for itself in the settings row, in the
// columns with its own suffix (3 the infusion card, 4 the history card, 6 the outpatient log):
// the left and top margin as typed and the orientation column ("1" portrait, anything else
// landscape).
struct OwnPrintSettings {
    QString left;
    QString top;
    QString orientation;
    bool operator==(const OwnPrintSettings&) const = default;
};

// Reads the columns of one suffix; a null column reads as the empty text. No value when the row
// cannot be read: a window that got none must not write its boxes back over the stored values.
std::optional<OwnPrintSettings> readOwnPrintSettings(Database* settings, int suffix);

// Writes the margins (and the orientation too, when withOrientation) of one suffix into the
// settings row. False when there is no database or row, or the database refused the values.
bool writeOwnPrintSettings(Database* settings, int suffix, const OwnPrintSettings& values, bool withOrientation);

// The clinic name as the row holds it, whatever the working copy holds; no value when the row
// cannot be read.
std::optional<QString> readStoredClinicName(Database* settings);

}  // namespace qelvaro
