#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace qelvaro {

struct AppContext;

// "工作量统计": the number of prescriptions and the turnover (drug fee plus other fee) of a date
// range. Each opening starts afresh with last month to today and no result.
//
// Widgets (objectName): statisticsFromDate, statisticsToDate, statisticsResult,
// statisticsTodayButton, statisticsButton.
class StatisticsWindow : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsWindow(AppContext& context, QWidget* parent = nullptr);

    void count();
    void countToday();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void load();

    AppContext& m_context;
    bool m_loaded = false;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QLabel* m_result = nullptr;
};

}  // namespace qelvaro
