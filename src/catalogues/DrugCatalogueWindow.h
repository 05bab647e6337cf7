#pragma once

#include "DrugStore.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace qelvaro {

struct AppContext;
class CatalogueList;
class ClickLabel;

// "药品维护": lists the drugs of a category or those whose code holds the search text, loads a
// picked drug into the boxes, adds, changes and deletes drugs, and inserts usage abbreviations
// from a palette. The list mode, the add flag and the row the boxes show outlive a close; every
// opening starts the controls afresh and lists the kept mode's category.
class DrugCatalogueWindow : public QWidget {
    Q_OBJECT
public:
    explicit DrugCatalogueWindow(AppContext& context, QWidget* parent = nullptr);

    // Shows the window; a closed window starts afresh, an open one comes to the front.
    void open();

    QPushButton* categoryButton(int index) const { return m_categoryButtons.at(index); }
    CatalogueList* list() const { return m_list; }
    QLineEdit* searchBox() const { return m_search; }
    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* usageBox() const { return m_usage; }
    QLineEdit* codeBox() const { return m_code; }
    QComboBox* categoryBox() const { return m_category; }
    QMenu* listMenu() const { return m_listMenu; }
    int mode() const { return m_mode; }
    const EditTarget& target() const { return m_target; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void startAfresh();
    // A query of the drugs to list: a category's, the search, or the opening's.
    using Listing = std::function<QList<ListedRow>()>;
    void showMode(int mode);
    Listing modeListing() const;
    void listRows(Listing listing, bool pickFirst);
    void categoryClicked(int index);
    void searchChanged();
    void pick();
    void add();
    void save();
    void remove();
    void insertAbbreviation(const QString& text);

    AppContext& m_context;
    DrugStore m_store;
    // Kept across openings.
    int m_mode = 0;
    EditTarget m_target;
    // This opening's.
    QPointer<QLineEdit> m_lastBox;
    bool m_open = false;
    // The query that filled the list, run again when a listed drug turns out to be gone.
    Listing m_listing;

    std::array<QPushButton*, 14> m_categoryButtons{};
    CatalogueList* m_list = nullptr;
    QLineEdit* m_search = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_usage = nullptr;
    QLineEdit* m_code = nullptr;
    QComboBox* m_category = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_delete = nullptr;
    QMenu* m_listMenu = nullptr;
};

}  // namespace qelvaro
