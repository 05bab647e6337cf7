#include "StatisticsWindow.h"

#include "AppContext.h"
#include "Clock.h"
#include "DataStore.h"
#include "MessageSink.h"
#include "OutpatientLog.h"
#include "Prescription.h"
#include "Statistics.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qelvaro {

StatisticsWindow::StatisticsWindow(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_context(context)
{
    setObjectName(QStringLiteral("statisticsWindow"));
    setWindowTitle(QStringLiteral("工作量统计"));
    setFixedSize(twipsToPixels(4785), twipsToPixels(2595));

    auto* frame = new QGroupBox(QStringLiteral("工作量统计"), this);
    frame->setGeometry(twipsRect(240, 240, 4335, 1635));
    auto* dateLabel = new QLabel(QStringLiteral("日期"), frame);
    dateLabel->setGeometry(twipsRect(120, 540, 360, 180));
    m_from = new QLineEdit(frame);
    m_from->setObjectName(QStringLiteral("statisticsFromDate"));
    m_from->setGeometry(twipsRect(600, 480, 1515, 315));
    auto* toLabel = new QLabel(QStringLiteral("至"), frame);
    toLabel->setGeometry(twipsRect(2280, 540, 180, 180));
    m_to = new QLineEdit(frame);
    m_to->setObjectName(QStringLiteral("statisticsToDate"));
    m_to->setGeometry(twipsRect(2640, 480, 1515, 315));

    auto* strip = new QWidget(frame);
    strip->setGeometry(twipsRect(180, 1020, 3975, 375));
    strip->setAutoFillBackground(true);
    QPalette grey = strip->palette();
    grey.setColor(QPalette::Window, QColor(224, 224, 224));
    strip->setPalette(grey);
    m_result = new QLabel(strip);
    m_result->setObjectName(QStringLiteral("statisticsResult"));
    m_result->setStyleSheet(QStringLiteral("color: blue"));
    m_result->move(twipsPoint(60, 60));

    auto* today = new QPushButton(QStringLiteral("今 日"), this);
    today->setObjectName(QStringLiteral("statisticsTodayButton"));
    today->setGeometry(twipsRect(2160, 2040, 1155, 375));
    auto* countButton = new QPushButton(QStringLiteral("统 计"), this);
    countButton->setObjectName(QStringLiteral("statisticsButton"));
    countButton->setGeometry(twipsRect(3420, 2040, 1155, 375));
    connect(today, &QPushButton::clicked, this, &StatisticsWindow::countToday);
    connect(countButton, &QPushButton::clicked, this, &StatisticsWindow::count);
}

void StatisticsWindow::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        load();
    QWidget::showEvent(event);
}

void StatisticsWindow::closeEvent(QCloseEvent* event)
{
    m_loaded = false;
    event->accept();
}

void StatisticsWindow::load()
{
    m_loaded = true;
    centreOnScreen(this);
    const QDate today = m_context.clock.today();
    m_from->setText(isoDate(oneMonthBefore(today)));
    m_to->setText(isoDate(today));
    m_result->clear();
    m_result->adjustSize();
}

void StatisticsWindow::count()
{
    const Statistics statistics = computeStatistics(m_context.store.records(), m_from->text(), m_to->text());
    if (!statistics.ok) {
        m_context.messages.warn(statistics.problem);
        return;
    }
    m_result->setText(statisticsText(statistics));
    m_result->adjustSize();
}

void StatisticsWindow::countToday()
{
    const QString today = isoDate(m_context.clock.today());
    m_to->setText(today);
    m_from->setText(today);
    count();
}

}  // namespace qelvaro
