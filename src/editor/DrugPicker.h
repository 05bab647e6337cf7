#pragma once

#include "DrugQueries.h"
#include "RowList.h"

#include <QObject>

class QLineEdit;

namespace qelvaro {

class MainWindow;

// The drug picker at the left of the sheet: the fifteen category buttons, the pinyin search box
// and the result list, and the insertion of the chosen entry into the prescription body.
//
// Keys in the search box: Down moves into the list (selecting its first entry), F1 chooses
// 抗生素, F2 中药, F3 中医验方 and F4 个人组套. Enter in the list or a double-click on an entry
// inserts it by its category's rule; the kind and title follow, the search box is emptied and
// gets the focus back.
class DrugPicker : public QObject {
    Q_OBJECT
public:
    DrugPicker(MainWindow& window, Database* settings, const SearchIndexes* indexes = nullptr);

    // The chosen category 0..14; -1 until the first choice, which acts as 0.
    int category() const { return m_category; }

    // A click on category button index: the button goes bold, the search box gets the focus and
    // keeps its text, the list shows every entry of the category.
    void chooseCategory(int index);
    // Lists what the text finds under the chosen category.
    void search(const QString& typed);
    // Inserts the selected entry; nothing happens when no entry is selected.
    void insertSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void listCategory(int index);
    void markChosen(int index);
    void fill(QList<CatalogueEntry> entries);
    QString caption(int index) const;

    MainWindow& m_window;
    DrugQueries m_queries;
    QLineEdit* m_searchBox;
    RowList* m_list;
    RowListModel* m_rows;
    int m_category = -1;
};

}  // namespace qelvaro
