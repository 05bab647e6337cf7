#include "NameCatalogueWindow.h"

#include "AppContext.h"
#include "CatalogueWidgets.h"
#include "DataStore.h"
#include "MessageSink.h"
#include "Pinyin.h"
#include "TextRules.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

namespace qelvaro {

namespace {

void addLabel(QWidget* parent, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->move(twipsPoint(left, top - 30));
    label->adjustSize();
}

}  // namespace

NameCatalogueWindow::NameCatalogueWindow(AppContext& context, NameTable table, QWidget* parent)
    : QWidget(parent), m_context(context), m_table(table), m_store(context.store.settings(), table, &context.catalogueChanges)
{
    const bool diagnoses = table == NameTable::Diagnoses;
    setObjectName(diagnoses ? QStringLiteral("diagnosisCatalogueWindow") : QStringLiteral("addressCatalogueWindow"));
    makeFixedDialog(this, diagnoses ? QStringLiteral("诊断名称维护") : QStringLiteral("地址名称维护"),
                    diagnoses ? 5850 : 5880, diagnoses ? 4410 : 4470);

    addLabel(this, QStringLiteral("查询："), 120, 180);
    m_search = makeLineBox(this, "searchBox", 720, 120, 5055, 315);
    m_list = new CatalogueList(this);
    m_list->setObjectName(QStringLiteral("nameList"));
    m_list->setGeometry(twipsRect(120, diagnoses ? 540 : 600, 5655, 2760));
    addLabel(this, diagnoses ? QStringLiteral("诊断名称：") : QStringLiteral("地址名称："), 120, 3540);
    m_name = makeLineBox(this, "nameBox", diagnoses ? 1080 : 1020, 3480, diagnoses ? 3195 : 3315, 330);
    m_save = makeButton(this, QStringLiteral("保  存"), "saveButton", 4440, 3480, 1335, 350);
    addLabel(this, QStringLiteral("拼音代码："), 120, 4020);
    m_code = makeLineBox(this, "codeBox", diagnoses ? 1080 : 1020, 3960, diagnoses ? 3195 : 3255, 330);
    m_delete = makeButton(this, QStringLiteral("删  除"), "deleteButton", 4440, 3960, 1335, 350);

    m_listMenu = new QMenu(this);
    m_listMenu->setObjectName(QStringLiteral("listMenu"));
    QAction* remove = m_listMenu->addAction(QStringLiteral("删除"));
    remove->setObjectName(QStringLiteral("listMenuDelete"));
    connect(remove, &QAction::triggered, this, &NameCatalogueWindow::remove);
    m_listMenu->addAction(QStringLiteral("取消"))->setObjectName(QStringLiteral("listMenuCancel"));
    m_list->setMenu(m_listMenu);

    connect(m_search, &QLineEdit::textChanged, this, &NameCatalogueWindow::search);
    connect(m_name, &QLineEdit::textChanged, this, [this] { setBoxText(m_code, pinyinCode(trimBlanks(m_name->text()))); });
    m_name->installEventFilter(this);
    connect(m_save, &QPushButton::clicked, this, &NameCatalogueWindow::save);
    connect(m_delete, &QPushButton::clicked, this, &NameCatalogueWindow::remove);

    if (diagnoses) {
        QWidget* order[] = {m_search, m_list, m_name, m_save, m_code, m_delete};
        for (size_t i = 0; i + 1 < std::size(order); ++i)
            setTabOrder(order[i], order[i + 1]);
    } else {
        QWidget* order[] = {m_save, m_name, m_list, m_search, m_code, m_delete};
        for (size_t i = 0; i + 1 < std::size(order); ++i)
            setTabOrder(order[i], order[i + 1]);
    }
}

void NameCatalogueWindow::open()
{
    if (!isVisible()) {
        // Nothing outlives a close: the boxes start empty and every name is listed.
        {
            const QSignalBlocker quiet(m_search);
            m_search->clear();
        }
        m_name->clear();
        m_code->clear();
        m_list->setRows(m_store.all());
        centreOnScreen(this);
        show();
        (m_table == NameTable::Diagnoses ? static_cast<QWidget*>(m_search) : m_save)->setFocus(Qt::OtherFocusReason);
        activateWindow();
        return;
    }
    raise();
    activateWindow();
}

void NameCatalogueWindow::search()
{
    m_list->setRows(m_store.search(m_search->text()));
}

void NameCatalogueWindow::save()
{
    const QString name = m_name->text();
    if (name.isEmpty())
        return;
    const WriteResult result = m_store.add(name, m_code->text());
    if (!result.ok()) {
        // Nothing stored: the typed name and code stay for the doctor to mend.
        m_context.messages.warn(result.refusal);
        return;
    }
    // The new name goes to the end of the list, whatever the search shows, and is selected.
    m_list->appendRow({*result.rowId, name});
    m_list->setCurrentRow(m_list->count() - 1);
    m_name->clear();
    m_code->clear();
    m_name->setFocus(Qt::OtherFocusReason);
}

void NameCatalogueWindow::remove()
{
    const std::optional<qint64> rowId = m_list->selectedRowId();
    if (rowId && !m_store.remove(*rowId))
        m_context.messages.warn(QStringLiteral("未能从数据库删除该名称。"));
    m_list->setRows(m_store.search(m_search->text()));
}

bool NameCatalogueWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_name && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            save();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qelvaro
