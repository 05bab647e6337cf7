#include "OutpatientLogWindow.h"

#include "AppContext.h"
#include "Clock.h"
#include "DataStore.h"
#include "MessageSink.h"
#include "OutpatientLogBook.h"
#include "OutpatientLogExport.h"
#include "Page.h"
#include "Prescription.h"
#include "PrintTarget.h"
#include "SettingsCopy.h"
#include "TextRules.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFontMetricsF>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>

namespace qelvaro {

inline const QString kMarginsNotSavedMessage = QStringLiteral("门诊日志的打印边距未能保存。");

// The visits of the last query by row id; a line is read and built only when the view shows it,
// so a long range lists at once.
class LogListModel : public QAbstractListModel {
public:
    LogListModel(Database* records, QObject* parent) : QAbstractListModel(parent), m_records(records) {}

    void setRowIds(QList<qint64> ids)
    {
        beginResetModel();
        m_ids = std::move(ids);
        m_lines.clear();
        endResetModel();
    }
    void setFont(const QFont& font) { m_metrics = QFontMetricsF(font); }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_ids.size()); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_ids.size())
            return {};
        auto line = m_lines.constFind(index.row());
        if (line == m_lines.cend()) {
            const LogRow row = readLogRow(m_records, m_ids[index.row()]);
            line = m_lines.insert(index.row(), logListLine(row, [this](const QString& text) {
                                      return m_metrics.horizontalAdvance(text) * kTwipsPerPixel;
                                  }));
        }
        return *line;
    }

private:
    Database* m_records;
    QList<qint64> m_ids;
    mutable QHash<int, QString> m_lines;  // the lines shown so far
    QFontMetricsF m_metrics{QFont()};
};

namespace {

QPushButton* button(QWidget* parent, const QString& text, const char* name, QRect rect)
{
    auto* b = new QPushButton(text, parent);
    if (name)
        b->setObjectName(QLatin1String(name));
    b->setGeometry(rect);
    return b;
}

QLineEdit* textBox(QWidget* parent, const char* name, QRect rect)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(rect);
    return box;
}

// The date boxes are narrow for a screen font: the face gets smaller until a whole date shows.
void fitDates(QLineEdit* box)
{
    box->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    QFont small = box->font();
    while (small.pointSize() > 6 &&
           QFontMetrics(small).horizontalAdvance(QStringLiteral("2026-12-31")) > box->width() - 6)
        small.setPointSize(small.pointSize() - 1);
    box->setFont(small);
}

QLabel* label(QWidget* parent, const QString& text, QPoint at, bool blue)
{
    auto* l = new QLabel(text, parent);
    if (blue)
        l->setStyleSheet(QStringLiteral("color: blue"));
    l->move(at);
    l->adjustSize();
    return l;
}

QFrame* frame(QWidget* parent, QRect rect)
{
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::StyledPanel);
    f->setGeometry(rect);
    return f;
}

// Shows the hourglass for as long as it lives.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

OutpatientLogWindow::OutpatientLogWindow(AppContext& context, FileDialog& fileDialog, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_context(context),
      m_fileDialog(fileDialog)
{
    setObjectName(QStringLiteral("outpatientLogWindow"));
    setWindowTitle(QStringLiteral("门诊日志"));
    setFixedSize(twipsToPixels(13245), twipsToPixels(9255));

    auto* picture = new QWidget(this);
    picture->setObjectName(QStringLiteral("logListArea"));
    picture->setGeometry(twipsRect(120, 120, 13035, 7770 + 300));
    struct Header {
        const char16_t* text;
        int left, width;
    };
    for (const Header& h : {Header{u"姓名", 0, 1215}, Header{u"性别", 1200, 675}, Header{u"年龄", 1860, 735},
                            Header{u"诊断", 2580, 3975}, Header{u"住址（电话）", 6540, 3915},
                            Header{u"就诊日期", 10440, 1275}, Header{u"备注", 11700, 1275}}) {
        button(picture, QString::fromUtf16(h.text), nullptr, twipsRect(h.left, 0, h.width, 255))
            ->setFocusPolicy(Qt::NoFocus);
    }
    m_model = new LogListModel(context.store.records(), this);
    m_list = new QListView(picture);
    m_list->setObjectName(QStringLiteral("logList"));
    m_list->setGeometry(twipsRect(0, 240, 13035, 7770));
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setModel(m_model);
    m_model->setFont(m_list->font());

    m_count = label(this, kLogCountCaption, twipsPoint(120, 8580), true);
    m_count->setObjectName(QStringLiteral("logCount"));

    QFrame* margins = frame(this, twipsRect(1440, 8340, 2895, 615));
    label(margins, QStringLiteral("打印边距(mm)：左"), twipsPoint(60, 240), true);
    m_left = textBox(margins, "logLeftMargin", twipsRect(1620, 180, 435, 315));
    label(margins, QStringLiteral("上"), twipsPoint(2100, 240), true);
    m_top = textBox(margins, "logTopMargin", twipsRect(2340, 180, 435, 315));
    // The settings columns hold 50 characters; a longer margin could never be written back.
    m_left->setMaxLength(50);
    m_top->setMaxLength(50);
    pasteAsOneLine(m_left);
    pasteAsOneLine(m_top);

    QFrame* dates = frame(this, twipsRect(4440, 8340, 3615, 615));
    label(dates, QStringLiteral("日期：从"), twipsPoint(120, 240), false);
    m_from = textBox(dates, "logFromDate", twipsRect(1020, 180, 1035, 315));
    label(dates, QStringLiteral("至"), twipsPoint(2160, 240), false);
    m_to = textBox(dates, "logToDate", twipsRect(2460, 180, 1035, 315));
    fitDates(m_from);
    fitDates(m_to);

    connect(button(this, QStringLiteral("查  询"), "logQueryButton", twipsRect(8220, 8460, 1095, 435)),
            &QPushButton::clicked, this, &OutpatientLogWindow::query);
    connect(button(this, QStringLiteral("打  印"), "logPrintButton", twipsRect(9360, 8460, 1155, 435)),
            &QPushButton::clicked, this, &OutpatientLogWindow::print);
    connect(button(this, QStringLiteral("导出到Excel"), "logExportButton", twipsRect(10560, 8460, 1275, 435)),
            &QPushButton::clicked, this, &OutpatientLogWindow::exportWorkbook);
    connect(button(this, QStringLiteral("退  出"), "logExitButton", twipsRect(11880, 8460, 1155, 435)),
            &QPushButton::clicked, this, &QWidget::close);
}

OutpatientLogWindow::~OutpatientLogWindow() = default;

void OutpatientLogWindow::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        load();
    QWidget::showEvent(event);
}

void OutpatientLogWindow::load()
{
    m_loaded = true;
    centreOnScreen(this);
    const QDate today = m_context.clock.today();
    m_from->setText(isoDate(oneMonthBefore(today)));
    m_to->setText(isoDate(today));
    const std::optional<OwnPrintSettings> stored = readOwnPrintSettings(m_context.store.settings(), 6);
    m_marginsRead = stored.has_value();
    m_left->setText(stored ? stored->left : QStringLiteral("10"));
    m_top->setText(stored ? stored->top : QStringLiteral("10"));
    m_model->setRowIds({});
    m_count->setText(kLogCountCaption);
    m_count->adjustSize();
    m_exportName.clear();
}

void OutpatientLogWindow::closeEvent(QCloseEvent* event)
{
    if (m_loaded && m_marginsRead &&
        !writeOwnPrintSettings(m_context.store.settings(), 6, {m_left->text(), m_top->text(), {}}, false))
        m_context.messages.warn(kMarginsNotSavedMessage);
    m_loaded = false;
    event->accept();
}

void OutpatientLogWindow::showCount(qsizetype count)
{
    m_count->setText(kLogCountPrefix + QString::number(count));
    m_count->adjustSize();
}

void OutpatientLogWindow::query()
{
    m_model->setRowIds({});
    LogRowIds log = queryOutpatientLogRowIds(m_context.store.records(), m_from->text(), m_to->text());
    if (!log.ok) {
        m_context.messages.warn(log.problem);
        return;
    }
    showCount(log.ids.size());
    m_model->setRowIds(std::move(log.ids));
}

void OutpatientLogWindow::print()
{
    // The footer's doctor is taken before the query, from the settings as they stand now.
    const QString doctor = m_context.settings.values().doctor;
    const LogQuery log = queryOutpatientLog(m_context.store.records(), m_from->text(), m_to->text());
    if (!log.ok) {
        m_context.messages.warn(log.problem);
        return;
    }
    if (log.rows.isEmpty() || !m_context.printTarget)
        return;
    const QString left = m_left->text();
    const QString top = m_top->text();
    m_context.printTarget->run(QStringLiteral("门诊日志"), [&](Page& page) {
        printOutpatientLogBook(page, log.rows, left, top, doctor);
    });
}

void OutpatientLogWindow::exportWorkbook()
{
    const LogQuery log = queryOutpatientLog(m_context.store.records(), m_from->text(), m_to->text());
    if (!log.ok) {
        m_context.messages.warn(log.problem);
        return;
    }
    showCount(log.rows.size());
    if (log.rows.isEmpty())
        return;

    QString suggested = m_exportName;
    if (suggested.isEmpty()) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QDir(folder).exists())
            folder = QDir::homePath();
        suggested = QDir(folder).filePath(QStringLiteral("门诊日志") + kWorkbookSuffix);
    }
    const QString chosen =
        trimBlanks(m_fileDialog.saveFileName(QStringLiteral("另存为"), suggested, QStringLiteral("Excel文件 (*.xlsx)")));
    if (chosen.isEmpty())
        return;
    // Remembered with its suffix, so the dialog offers the same kind of file next time.
    m_exportName = workbookPath(chosen);

    bool written = false;
    {
        BusyCursor busy;
        written = writeLogWorkbook(m_exportName, log.rows);
    }
    if (written)
        m_context.messages.tell(kExportDoneMessage);
    else
        m_context.messages.warn(kExportFailedMessage);
}

}  // namespace qelvaro
