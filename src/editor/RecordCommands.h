#pragma once

#include "RecordListModel.h"
#include "RecordStore.h"

#include <QDate>
#include <QObject>

#include <optional>

class QMenu;

namespace qelvaro {

struct AppContext;
class ItemChooser;
class MainWindow;

inline const QString kDeleteRecordQuestion = QStringLiteral("确实要永久删除该病人档案吗？");
inline const QString kNothingToDeleteMessage = QStringLiteral("这张处方还没有保存，没有可删除的档案。");

// The prescription in the editor and the record list beside it: 新建, 续开 and 保存; 查询,
// 今日患者, a click into an empty date box (today), opening a listed record, and deleting the
// record in the editor from the list's right-click menu. Built with the window, it lists the
// records of the last month and begins a new prescription.
class RecordCommands : public QObject {
    Q_OBJECT
public:
    RecordCommands(MainWindow& window, AppContext& context);

    // An empty editor with a new key, today's date, the staff and class defaults of the settings
    // copy and 无 for the histories; the kind stays.
    void newPrescription();
    // A follow-up for the patient in the editor: new key, today's date, empty body, card and fees.
    void renew();
    // Stores the editor under its key and lists the patient's records of the last five years.
    // Nothing is stored, and false returned after telling why, when a field is not right or the
    // database refuses; a patient row the register refuses is told after the save.
    bool save();

    // 查询: the list by the name filter and the two dates as typed; a bad date is told.
    void query();
    // 今日患者: every record of today.
    void listTodaysPatients();
    // The record the list's row stands for, into the editor.
    void openRecord(int row);
    // 删除 in the list's menu: after the confirmation, the stored record with the editor's key is
    // deleted, the list read again and a new prescription begun. An unsaved one changes nothing.
    void deleteRecord();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ListQuery {
        QString name;
        QDate from;
        QDate to;
    };
    // Shows the list of the query, or, while the index it uses is still read at start and the
    // database would answer slowly, an empty list until the index is there. A problem is told
    // only when asked for.
    void listRecords(const ListQuery& query, bool tellProblem = false);
    void indexRead();
    void showList(const RecordList& list);
    void setRecordDates(const QDate& from, const QDate& to);
    QDate today() const;

    MainWindow& m_window;
    AppContext& m_context;
    RecordStore m_store;
    RecordKeyIssuer m_keys;
    RecordListModel* m_listModel;
    ItemChooser* m_chooser;
    QMenu* m_recordMenu;
    std::optional<ListQuery> m_shown;  // what the list shows, so a delete can read it again
    std::optional<std::pair<ListQuery, bool>> m_waiting;  // a list and its tellProblem, until the index is read
};

}  // namespace qelvaro
