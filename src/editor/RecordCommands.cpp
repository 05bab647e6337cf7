#include "RecordCommands.h"

#include "AppContext.h"
#include "ClickLabel.h"
#include "Clock.h"
#include "DataStore.h"
#include "ItemChooser.h"
#include "MainWindow.h"
#include "MessageSink.h"
#include "SettingsCopy.h"
#include "WindowHelpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace qelvaro {
namespace {

using P = Prescription;

QLineEdit* field(const MainWindow& window, int index) { return window.headingBox(HeadingField(index)); }

// A multi-line box reports a change even when given the text it holds: such an assignment is
// left out.
void setBoxText(QPlainTextEdit* box, const QString& text)
{
    if (box->toPlainText() != text)
        box->setPlainText(text);
}

// The chooser follows the view's selection model, which the model brings: the model comes first.
ItemChooser* chooserOver(QListView* view, RecordListModel* model)
{
    view->setModel(model);
    return new ItemChooser(view);
}

}  // namespace

RecordCommands::RecordCommands(MainWindow& window, AppContext& context)
    : QObject(&window), m_window(window), m_context(context), m_store(context.store.records(), &context.searchIndexes),
      m_keys(context.store.records()), m_listModel(new RecordListModel(m_store, this)),
      m_chooser(chooserOver(window.recordList(), m_listModel)),
      m_recordMenu(new QMenu(QStringLiteral("mu"), &window))
{
    setObjectName(QStringLiteral("recordCommands"));
    window.provideCommand(Command::New, [this] { newPrescription(); });
    window.provideCommand(Command::Renew, [this] { renew(); });
    window.provideCommand(Command::Save, [this] { save(); });

    m_recordMenu->setObjectName(QStringLiteral("recordListMenu"));
    QAction* remove = m_recordMenu->addAction(QStringLiteral("删除"));
    remove->setObjectName(QStringLiteral("actionDeleteRecord"));
    connect(remove, &QAction::triggered, this, &RecordCommands::deleteRecord);
    // 取消 only closes the menu.
    m_recordMenu->addAction(QStringLiteral("取消"))->setObjectName(QStringLiteral("actionCancelRecordMenu"));

    QListView* list = window.recordList();
    connect(m_chooser, &ItemChooser::chosenRow, this, &RecordCommands::openRecord);
    // Installed after the chooser's, so this filter sees the right button first.
    list->viewport()->installEventFilter(this);
    window.recordFromDate()->installEventFilter(this);
    window.recordToDate()->installEventFilter(this);
    connect(window.recordQueryButton(), &QPushButton::clicked, this, &RecordCommands::query);
    connect(window.todayPatientsLink(), &ClickLabel::clicked, this, &RecordCommands::listTodaysPatients);
    connect(&context.searchIndexes, &SearchIndexes::indexRead, this, &RecordCommands::indexRead);

    // The window opens on the records of the last month and a new prescription.
    window.recordNameFilter()->setText(QString());
    const QDate end = today();
    setRecordDates(end.addMonths(-1), end);
    listRecords({QString(), end.addMonths(-1), end});
    newPrescription();
}

QDate RecordCommands::today() const { return m_context.clock.today(); }

void RecordCommands::setRecordDates(const QDate& from, const QDate& to)
{
    m_window.recordFromDate()->setText(isoDate(from));
    m_window.recordToDate()->setText(isoDate(to));
}

void RecordCommands::newPrescription()
{
    const QDateTime now = m_context.clock.now();
    for (int i = 0; i < kHeadingFieldCount; ++i)
        field(m_window, i)->setText(QString());
    m_window.headingBox(HeadingField::CardNumber)->setText(caseNumber(now));
    m_window.headingBox(HeadingField::Date)->setText(isoDate(now.date()));
    const SettingsCopy::Values defaults = m_context.settings.values();
    m_window.headingBox(HeadingField::FeeClass)->setText(defaults.feeClass);
    m_window.headingBox(HeadingField::Department)->setText(defaults.department);
    m_window.headingBox(HeadingField::Doctor)->setText(defaults.doctor);
    m_window.headingBox(HeadingField::Dispenser)->setText(defaults.dispenser);
    m_window.headingBox(HeadingField::Reviewer)->setText(defaults.reviewer);
    m_window.headingBox(HeadingField::Allergy)->setText(QStringLiteral("无"));
    m_window.headingBox(HeadingField::PastHistory)->setText(QStringLiteral("无"));
    m_window.recordKeyLabel()->setText(m_keys.issue(now));
    setBoxText(m_window.injectionCardBox(), QString());
    setBoxText(m_window.body(), QString());
    setBoxText(m_window.historyBox(), QString());
    // Emptying 诊断 and 住址 looked them up.
    m_window.diagnosisPopup()->hide();
    m_window.addressPopup()->hide();
    m_window.headingBox(HeadingField::Name)->setFocus(Qt::OtherFocusReason);
}

void RecordCommands::renew()
{
    const QDateTime now = m_context.clock.now();
    m_window.recordKeyLabel()->setText(m_keys.issue(now));
    m_window.headingBox(HeadingField::Date)->setText(isoDate(now.date()));
    setBoxText(m_window.injectionCardBox(), QString());
    setBoxText(m_window.body(), QString());
    m_window.headingBox(HeadingField::DrugFee)->setText(QString());
    m_window.headingBox(HeadingField::OtherFee)->setText(QString());
    m_window.drugSearchBox()->setFocus(Qt::OtherFocusReason);
}

bool RecordCommands::save()
{
    const Prescription p = m_window.prescription();
    const QDate end = today();
    const SaveResult result = m_store.save(p, end.year());
    if (!result) {
        m_context.messages.warn(result.problem);
        return false;
    }
    const ListQuery patientRecords{p.field(HeadingField::Name), fiveYearsBefore(end), end};
    m_window.recordNameFilter()->setText(patientRecords.name);
    setRecordDates(patientRecords.from, patientRecords.to);
    listRecords(patientRecords);
    if (!result.patientNote.isEmpty())
        m_context.messages.warn(result.patientNote);
    return true;
}

void RecordCommands::listRecords(const ListQuery& query, bool tellProblem)
{
    QListView* view = m_window.recordList();
    m_waiting.reset();
    view->unsetCursor();
    if (m_store.listWaitsForIndex(query.name, query.from, query.to)) {
        m_waiting.emplace(query, tellProblem);
        m_shown = query;
        showList({});
        view->setCursor(Qt::BusyCursor);
        return;
    }
    const RecordList list = m_store.list(query.name, query.from, query.to);
    showList(list);
    if (list.ok)
        m_shown = query;
    else if (tellProblem)
        m_context.messages.warn(list.problem);
}

void RecordCommands::indexRead()
{
    // Asked again; it waits on if its index is still to come.
    if (const auto waiting = std::exchange(m_waiting, std::nullopt))
        listRecords(waiting->first, waiting->second);
}

void RecordCommands::showList(const RecordList& list)
{
    const QSignalBlocker quiet(m_chooser);  // a refill opens nothing
    m_listModel->setRowIds(list.rowIds);
}

void RecordCommands::query()
{
    const std::optional<QDate> from = parseVisitDate(m_window.recordFromDate()->text());
    const std::optional<QDate> to = parseVisitDate(m_window.recordToDate()->text());
    if (!from || !to) {
        showList({});
        m_context.messages.warn(kBadDateRangeMessage);
        return;
    }
    listRecords({m_window.recordNameFilter()->text(), *from, *to}, true);
}

void RecordCommands::listTodaysPatients()
{
    const QDate day = today();
    m_window.recordNameFilter()->setText(QString());
    setRecordDates(day, day);
    listRecords({QString(), day, day});
}

void RecordCommands::openRecord(int row)
{
    if (row < 0 || row >= m_listModel->rowCount())
        return;
    const qint64 rowId = m_listModel->rowId(row);
    QString problem;
    // The row the item stands for, whatever the filter boxes say by now.
    const std::optional<Prescription> p = m_store.open(rowId, &problem);
    if (!p) {
        // A record deleted since the list was read opens nothing.
        if (!problem.isEmpty())
            m_context.messages.warn(problem);
        return;
    }
    {
        MainWindow::FillingScope filling(m_window);
        for (int i = 0; i < kHeadingFieldCount; ++i)
            field(m_window, i)->setText(p->fields[i]);
        m_window.setKind(p->kind);
        m_window.titleLabel()->setText(p->title);
        m_window.titleLabel()->adjustSize();
        // The stored card, not one rebuilt from the body: the body's handler skips while filling.
        setBoxText(m_window.body(), p->body);
        setBoxText(m_window.injectionCardBox(), p->injectionCard);
        setBoxText(m_window.historyBox(), p->history);
        m_window.recordKeyLabel()->setText(p->key);
    }
    m_window.hidePopups();
}

void RecordCommands::deleteRecord()
{
    const QString key = m_window.recordKeyLabel()->text();
    QString problem;
    // A prescription never saved has no record to delete: the question is not asked, and the
    // work in the editor stays as it is.
    if (!m_store.openByKey(key, &problem)) {
        m_context.messages.warn(problem.isEmpty() ? kNothingToDeleteMessage : problem);
        return;
    }
    if (!m_context.messages.confirm(kDeleteRecordQuestion))
        return;
    if (!m_store.remove(key, &problem)) {
        m_context.messages.warn(problem.isEmpty() ? kNothingToDeleteMessage : problem);
        return;
    }
    if (m_shown)
        listRecords(*m_shown);
    newPrescription();
}

bool RecordCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window.recordList()->viewport()) {
        // The right button selects nothing; its release over a filled list brings the menu.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick
            || event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                if (event->type() == QEvent::MouseButtonRelease && m_listModel->rowCount() > 0)
                    m_recordMenu->popup(mouse->globalPosition().toPoint());
                return true;
            }
        }
    } else if (watched == m_window.recordFromDate() || watched == m_window.recordToDate()) {
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            auto* box = static_cast<QLineEdit*>(watched);
            if (box->text().isEmpty()) {
                box->setText(isoDate(today()));
                box->end(false);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qelvaro
