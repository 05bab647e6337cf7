#include "DrugPicker.h"

#include "BodyCommands.h"
#include "BodyText.h"
#include "MainWindow.h"
#include "WindowHelpers.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace qelvaro {
namespace {

// F1 stands for the first button, F2..F4 for the fourth row from left to right.
int categoryOfKey(int key)
{
    switch (key) {
    case Qt::Key_F1:
        return 0;
    case Qt::Key_F2:
        return kHerbCategory;
    case Qt::Key_F3:
        return kRecipeCategory;
    case Qt::Key_F4:
        return kSetCategory;
    default:
        return -1;
    }
}

bool listsSets(int category) { return category == kSetCategory || category == kRecipeCategory; }

}  // namespace

DrugPicker::DrugPicker(MainWindow& window, Database* settings, const SearchIndexes* indexes)
    : QObject(&window), m_window(window), m_queries(settings, indexes), m_searchBox(window.drugSearchBox()),
      m_list(window.drugList()), m_rows(new RowListModel(this))
{
    m_list->setModel(m_rows);
    for (int i = 0; i < kCategoryCount; ++i)
        connect(window.categoryButton(i), &QPushButton::clicked, this, [this, i] { chooseCategory(i); });

    m_searchBox->installEventFilter(this);
    connect(m_searchBox, &QLineEdit::textChanged, this, &DrugPicker::search);

    m_list->installEventFilter(this);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { insertSelected(); });

    // The window opens on the drugs of the first category, none chosen yet.
    fill(m_queries.drugsOfCategory(caption(0)));
}

QString DrugPicker::caption(int index) const { return m_window.categoryButton(index)->text(); }

void DrugPicker::markChosen(int index)
{
    for (int i = 0; i < kCategoryCount; ++i) {
        QPushButton* button = m_window.categoryButton(i);
        QFont font = button->font();
        font.setBold(i == index);
        button->setFont(font);
    }
    m_category = index;
}

void DrugPicker::listCategory(int index)
{
    fill(listsSets(index) ? m_queries.setsOfCategory(caption(index)) : m_queries.drugsOfCategory(caption(index)));
}

void DrugPicker::chooseCategory(int index)
{
    if (index < 0 || index >= kCategoryCount)
        return;
    markChosen(index);
    m_searchBox->setFocus();
    listCategory(index);
}

void DrugPicker::search(const QString& typed)
{
    switch (insertionRule(m_category)) {
    case InsertionRule::Drug:
        // Under a drug category the search finds drugs of every category, herbs too.
        fill(m_queries.searchDrugs(typed));
        break;
    case InsertionRule::Herb:
        fill(m_queries.searchDrugs(typed, caption(kHerbCategory)));
        break;
    case InsertionRule::Set:
    case InsertionRule::Recipe:
        fill(m_queries.searchSets(typed, caption(m_category)));
        break;
    }
}

void DrugPicker::fill(QList<CatalogueEntry> entries)
{
    m_rows->setRows(std::move(entries));
}

void DrugPicker::insertSelected()
{
    // The entry with the focus, when it is also selected.
    const int row = m_list->currentRow();
    if (row < 0 || m_list->selectedRow() != row)
        return;
    const QString entry = m_list->text(row);
    const qint64 rowId = m_list->rowId(row);

    BodyTextEdit* body = m_window.body();
    const QString old = body->toPlainText();
    switch (insertionRule(m_category)) {
    case InsertionRule::Drug:
        applyBodyEdit(body, insertDrug(old, entry));
        break;
    case InsertionRule::Herb: {
        const QTextCursor cursor = body->textCursor();
        applyBodyEdit(body, insertHerb(old, cursor.selectionStart(), cursor.selectionEnd(), entry));
        break;
    }
    case InsertionRule::Set:
        // The row the entry shows, read again: a row deleted meanwhile inserts nothing.
        if (const std::optional<QString> content = m_queries.setContent(rowId))
            applyBodyEdit(body, insertSet(old, *content));
        break;
    case InsertionRule::Recipe:
        if (const std::optional<QString> content = m_queries.setContent(rowId))
            applyBodyEdit(body, insertRecipe(old, *content));
        break;
    }

    m_window.setKind(kindAfterInsertion(m_category).kind);
    m_window.hidePopups();
    m_searchBox->setText(QString());
    m_searchBox->setFocus();
    m_list->setCurrentRow(-1);
}

bool DrugPicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_searchBox) {
        if (event->type() == QEvent::FocusIn) {
            m_window.diagnosisPopup()->hide();
            m_window.addressPopup()->hide();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Down) {
                m_list->setFocus();
                if (m_list->count() > 0)
                    m_list->setCurrentRow(0);
                return true;
            }
            const int category = categoryOfKey(key);
            if (category >= 0) {
                listCategory(category);
                markChosen(category);
                return true;
            }
        }
    } else if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            insertSelected();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qelvaro
