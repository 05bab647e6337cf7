#pragma once

#include "Lookups.h"

#include <QObject>

#include <array>

class QLineEdit;
class QListWidgetItem;

namespace qelvaro {

struct AppContext;
class ItemChooser;
class MainWindow;
class PatientListModel;
class RowList;
class RowListModel;

// The heading fields of the sheet while the doctor types, and the history templates.
//
// Fields: 1 and 2 in the sex field become 男 and 女 and a click toggles the sex; the full-width
// stop in the two fee fields becomes a decimal point; typing a name of two characters or more
// offers known patients, the diagnosis field offers diagnoses by its last word (by its whole text
// on entry), the address field addresses; the card header follows name, sex, age, date and
// doctor. Enter moves on as Tab does; Down moves into the field's popup. Enter or a double-click
// in a popup takes the selected item. While the window is filling, no look-up runs.
//
// History: the template search lists the templates whose search key contains the text; choosing
// one inserts its content into the history box at the caret.
class PatientFields : public QObject {
    Q_OBJECT
public:
    PatientFields(MainWindow& window, AppContext& context);

    // Each takes the selected item of its popup; nothing happens without one.
    void takeDiagnosis();
    void takeAddress();
    void takePatient();

    void searchTemplates(const QString& text);
    void insertTemplate(QListWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fieldChanged(int index);
    void fieldEntered(int index);
    bool fieldKeyPressed(int index, int key);
    void toggleSex();
    void copyToCardHeader();
    void showDiagnoses(QList<LookupItem> items);
    void showAddresses(QList<LookupItem> items);
    void showPatients(PatientMatches matches);
    static void showIfAny(RowList* popup);
    void enterPopup(RowList* popup);
    int fieldIndex(const QObject* object) const;
    int currentYear() const;

    MainWindow& m_window;
    AppContext& m_context;
    Lookups m_lookups;
    std::array<QLineEdit*, kHeadingFieldCount> m_fields{};
    ItemChooser* m_templateChooser = nullptr;
    RowListModel* m_diagnosisRows = nullptr;
    RowListModel* m_addressRows = nullptr;
    PatientListModel* m_patientRows = nullptr;
    // While a popup item is taken its field's own look-ups would only be hidden again.
    bool m_taking = false;
    // The field whose entry waits for the box's own focus handling to put the caret at the end.
    QLineEdit* m_entered = nullptr;
    bool m_sexDoubleClick = false;
};

}  // namespace qelvaro
