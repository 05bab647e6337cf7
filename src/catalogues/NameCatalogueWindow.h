#pragma once

#include "NameStore.h"

#include <QWidget>

class QLineEdit;
class QMenu;
class QPushButton;

namespace qelvaro {

struct AppContext;
class CatalogueList;

// "诊断名称维护" / "地址名称维护": one window design over the diagnosis names or the address names.
// Lists the names in the order they were added, searches them by any run of the name and its
// code, adds a name with its code and deletes the selected name. A stored name is never edited.
class NameCatalogueWindow : public QWidget {
    Q_OBJECT
public:
    NameCatalogueWindow(AppContext& context, NameTable table, QWidget* parent = nullptr);

    // Shows the window; a closed window starts afresh with every name listed, an open one comes
    // to the front.
    void open();

    QLineEdit* searchBox() const { return m_search; }
    CatalogueList* list() const { return m_list; }
    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* codeBox() const { return m_code; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* deleteButton() const { return m_delete; }
    QMenu* listMenu() const { return m_listMenu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search();
    void save();
    void remove();

    AppContext& m_context;
    NameTable m_table;
    NameStore m_store;

    QLineEdit* m_search = nullptr;
    CatalogueList* m_list = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_code = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_delete = nullptr;
    QMenu* m_listMenu = nullptr;
};

}  // namespace qelvaro
