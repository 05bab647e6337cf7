#pragma once

#include "OutpatientLog.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace qelvaro {

struct AppContext;
class FileDialog;
class LogListModel;

// "门诊日志": the visits of a date range with their count, printed as the log book or exported as
// a workbook. It keeps the log book's margins in the settings row (suffix 6): read when it opens,
// written back on every close. Each opening starts afresh: last month to today, an empty list.
//
// Widgets (objectName): logFromDate, logToDate, logLeftMargin, logTopMargin, logList, logCount,
// logQueryButton, logPrintButton, logExportButton, logExitButton.
class OutpatientLogWindow : public QWidget {
    Q_OBJECT
public:
    OutpatientLogWindow(AppContext& context, FileDialog& fileDialog, QWidget* parent = nullptr);
    ~OutpatientLogWindow() override;

    QListView* list() const { return m_list; }

    void query();
    void print();
    void exportWorkbook();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void load();
    void showCount(qsizetype count);

    AppContext& m_context;
    FileDialog& m_fileDialog;
    bool m_loaded = false;
    bool m_marginsRead = false;  // never write the margins back over values that were not read
    QString m_exportName;        // the name last confirmed in the save dialog while open

    LogListModel* m_model = nullptr;
    QListView* m_list = nullptr;
    QLabel* m_count = nullptr;
    QLineEdit* m_left = nullptr;
    QLineEdit* m_top = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
};

}  // namespace qelvaro
