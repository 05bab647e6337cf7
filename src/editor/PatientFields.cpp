#include "PatientFields.h"

#include "AppContext.h"
#include "ClickLabel.h"
#include "Clock.h"
#include "DataStore.h"
#include "ItemChooser.h"
#include "MainWindow.h"
#include "Prescription.h"
#include "RowList.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace qelvaro {

// The patients a look-up found. An item's text is built when the view shows it, so a look-up that
// finds nearly every patient costs no more than the screenful shown.
class PatientListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setMatches(PatientMatches matches)
    {
        beginResetModel();
        m_matches = std::move(matches);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_matches.size());
    }

    QModelIndex index(int row, int column = 0, const QModelIndex& parent = QModelIndex()) const override
    {
        return row >= 0 && row < m_matches.size() && column == 0 && !parent.isValid() ? createIndex(row, 0)
                                                                                      : QModelIndex();
    }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override
    {
        if (!index.isValid() || index.row() >= m_matches.size())
            return QVariant();
        if (role == Qt::DisplayRole)
            return patientItemText(m_matches.at(index.row()));
        if (role == RowListModel::kRowIdRole)
            return m_matches.rowId(index.row());
        return QVariant();
    }

private:
    PatientMatches m_matches;
};

namespace {

using P = Prescription;

constexpr int kRowIdRole = Qt::UserRole;

// The field each card header box shows.
struct CardHeaderField {
    CardHeader box;
    HeadingField field;
};
constexpr std::array<CardHeaderField, kCardHeaderCount> kCardHeaderFields{{
    {CardHeader::Name, HeadingField::Name},
    {CardHeader::Sex, HeadingField::Sex},
    {CardHeader::Age, HeadingField::Age},
    {CardHeader::Date, HeadingField::Date},
    {CardHeader::Doctor, HeadingField::Doctor},
}};
static_assert(oneRowPerValue(kCardHeaderFields, &CardHeaderField::box), "kCardHeaderFields is indexed by CardHeader");

void setIfChanged(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Sets a flag for the life of the object.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_old; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

}  // namespace

PatientFields::PatientFields(MainWindow& window, AppContext& context)
    : QObject(&window), m_window(window), m_context(context),
      m_lookups(context.store.records(), context.store.settings(), &context.searchIndexes)
{
    setObjectName(QStringLiteral("patientFields"));
    for (int i = 0; i < kHeadingFieldCount; ++i) {
        QLineEdit* box = window.headingBox(HeadingField(i));
        m_fields[i] = box;
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, i] { fieldChanged(i); });
    }
    // After the box's own focus handling (a Tab selects the whole text), so the caret stays put.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (m_entered && now == m_entered)
            m_entered->end(false);
        m_entered = nullptr;
    });

    m_diagnosisRows = new RowListModel(this);
    m_addressRows = new RowListModel(this);
    m_patientRows = new PatientListModel(this);
    window.diagnosisPopup()->setModel(m_diagnosisRows);
    window.addressPopup()->setModel(m_addressRows);
    window.patientPopup()->setModel(m_patientRows);
    for (RowList* popup : {window.diagnosisPopup(), window.addressPopup(), window.patientPopup()})
        popup->installEventFilter(this);
    connect(window.diagnosisPopup(), &RowList::doubleClicked, this, &PatientFields::takeDiagnosis);
    connect(window.addressPopup(), &RowList::doubleClicked, this, &PatientFields::takeAddress);
    connect(window.patientPopup(), &RowList::doubleClicked, this, &PatientFields::takePatient);

    QListWidget* templates = window.templateList();
    templates->setUniformItemSizes(true);
    m_templateChooser = new ItemChooser(templates);
    connect(m_templateChooser, &ItemChooser::chosen, this, &PatientFields::insertTemplate);
    connect(window.templateSearchBox(), &QLineEdit::textChanged, this, &PatientFields::searchTemplates);
    searchTemplates(window.templateSearchBox()->text());
    // A template written or removed elsewhere shows in the list at once.
    const auto templatesChanged = [this](CatalogueTable table) {
        if (table == CatalogueTable::Templates)
            searchTemplates(m_window.templateSearchBox()->text());
    };
    connect(&m_context.catalogueChanges, &CatalogueChanges::rowWritten, this, templatesChanged);
    connect(&m_context.catalogueChanges, &CatalogueChanges::rowRemoved, this, templatesChanged);

    // Its window comes later: until then the link shows that it does nothing.
    ClickLabel* addTemplate = window.addTemplateLink();
    QPalette pal = addTemplate->palette();
    pal.setColor(QPalette::Disabled, QPalette::WindowText,
                 QApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
    addTemplate->setPalette(pal);
    addTemplate->setCursor(Qt::ArrowCursor);
    addTemplate->setEnabled(false);

    copyToCardHeader();
}

int PatientFields::currentYear() const { return m_context.clock.today().year(); }

int PatientFields::fieldIndex(const QObject* object) const
{
    for (int i = 0; i < kHeadingFieldCount; ++i)
        if (m_fields[i] == object)
            return i;
    return -1;
}

void PatientFields::fieldChanged(int index)
{
    QLineEdit* box = m_fields[index];
    const QString text = box->text();
    switch (index) {
    case headingIndex(HeadingField::Sex):
        // The rewritten text comes back through this handler, which does the rest.
        if (text == u"1") {
            box->setText(QStringLiteral("男"));
            return;
        }
        if (text == u"2") {
            box->setText(QStringLiteral("女"));
            return;
        }
        box->end(false);
        break;
    case headingIndex(HeadingField::DrugFee):
    case headingIndex(HeadingField::OtherFee):
        if (text.contains(u'。')) {
            const int caret = box->cursorPosition();
            box->setText(QString(text).replace(u'。', u'.'));
            box->setCursorPosition(caret);
            return;
        }
        break;
    default:
        break;
    }

    if (!m_window.isFilling() && !m_taking) {
        switch (index) {
        case headingIndex(HeadingField::Diagnosis):
            showDiagnoses(m_lookups.diagnosesWhileTyping(text));
            break;
        case headingIndex(HeadingField::Address):
            showAddresses(m_lookups.addressesWhileTyping(text));
            break;
        case headingIndex(HeadingField::Name):
            if (characterCount(text) <= 1)
                m_window.patientPopup()->hide();
            else
                showPatients(m_lookups.patients(text, currentYear()));
            break;
        default:
            break;
        }
    }
    copyToCardHeader();
}

void PatientFields::copyToCardHeader()
{
    for (const CardHeaderField& c : kCardHeaderFields)
        setIfChanged(m_window.cardHeaderBox(c.box), m_fields[headingIndex(c.field)]->text());
}

// Each popup is hidden while its rows change and shown again only when it lists something.
void PatientFields::showDiagnoses(QList<LookupItem> items)
{
    m_window.diagnosisPopup()->hide();
    m_diagnosisRows->setRows(std::move(items));
    showIfAny(m_window.diagnosisPopup());
}

void PatientFields::showAddresses(QList<LookupItem> items)
{
    m_window.addressPopup()->hide();
    m_addressRows->setRows(std::move(items));
    showIfAny(m_window.addressPopup());
}

void PatientFields::showPatients(PatientMatches matches)
{
    m_window.patientPopup()->hide();
    m_patientRows->setMatches(std::move(matches));
    showIfAny(m_window.patientPopup());
}

void PatientFields::showIfAny(RowList* popup)
{
    if (popup->count() == 0)
        return;
    popup->show();
    popup->raise();
}

void PatientFields::fieldEntered(int index)
{
    m_entered = m_fields[index];
    if (m_taking)
        return;
    const QString text = m_fields[index]->text();
    switch (index) {
    case headingIndex(HeadingField::Diagnosis):
        m_window.addressPopup()->hide();
        showDiagnoses(m_lookups.diagnosesOnEntry(text));
        break;
    case headingIndex(HeadingField::Address):
        m_window.diagnosisPopup()->hide();
        showAddresses(m_lookups.addressesOnEntry(text));
        break;
    default:
        m_window.diagnosisPopup()->hide();
        m_window.addressPopup()->hide();
        break;
    }
}

bool PatientFields::fieldKeyPressed(int index, int key)
{
    QLineEdit* box = m_fields[index];
    if (key == Qt::Key_Down) {
        // Swallowed in every field, also where no popup belongs.
        if (index == headingIndex(HeadingField::Name))
            enterPopup(m_window.patientPopup());
        else if (index == headingIndex(HeadingField::Address))
            enterPopup(m_window.addressPopup());
        else if (index == headingIndex(HeadingField::Diagnosis))
            enterPopup(m_window.diagnosisPopup());
        return true;
    }
    if (isEnter(key)) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &tab);
        box->end(false);
        return true;
    }
    return false;
}

void PatientFields::enterPopup(RowList* popup)
{
    if (popup->isHidden() || popup->count() == 0)
        return;
    popup->setFocus(Qt::OtherFocusReason);
    popup->setCurrentRow(0);
}

void PatientFields::toggleSex()
{
    QLineEdit* box = m_fields[headingIndex(HeadingField::Sex)];
    box->setText(box->text() == u"男" ? QStringLiteral("女") : QStringLiteral("男"));
    box->end(false);
}

void PatientFields::takeDiagnosis()
{
    RowList* popup = m_window.diagnosisPopup();
    const int row = popup->selectedRow();
    if (row < 0)
        return;
    QLineEdit* box = m_fields[headingIndex(HeadingField::Diagnosis)];
    {
        FlagScope taking(m_taking);
        box->setText(qelvaro::takeDiagnosis(box->text(), popup->text(row)));
        box->end(false);
        box->setFocus(Qt::OtherFocusReason);
    }
    popup->hide();
}

void PatientFields::takeAddress()
{
    RowList* popup = m_window.addressPopup();
    const int row = popup->selectedRow();
    if (row < 0)
        return;
    QLineEdit* box = m_fields[headingIndex(HeadingField::Address)];
    {
        FlagScope taking(m_taking);
        box->setText(popup->text(row));
        box->end(false);
        box->setFocus(Qt::OtherFocusReason);
    }
    popup->hide();
}

void PatientFields::takePatient()
{
    RowList* popup = m_window.patientPopup();
    const std::optional<qint64> rowId = popup->selectedRowId();
    if (!rowId)
        return;
    {
        MainWindow::FillingScope filling(m_window);
        // The row the item shows, read again: a row gone meanwhile leaves the fields as they are.
        if (const auto fills = m_lookups.takePatient(*rowId, currentYear())) {
            for (const auto& [index, text] : *fills)
                m_fields[index]->setText(text);
        }
    }
    popup->hide();
    m_window.drugSearchBox()->setFocus(Qt::OtherFocusReason);
}

void PatientFields::searchTemplates(const QString& text)
{
    QListWidget* list = m_window.templateList();
    const QList<LookupItem> items = m_lookups.templates(text);
    QStringList texts;
    texts.reserve(items.size());
    for (const LookupItem& item : items)
        texts << item.text;
    // Refilling chooses nothing.
    const QSignalBlocker quiet(m_templateChooser);
    list->clear();
    list->addItems(texts);
    for (int i = 0; i < items.size(); ++i)
        list->item(i)->setData(kRowIdRole, items[i].rowId);
}

void PatientFields::insertTemplate(QListWidgetItem* item)
{
    if (!item)
        return;
    // The row the item shows, read again: a template deleted meanwhile inserts nothing.
    if (const std::optional<QString> content = m_lookups.templateContent(item->data(kRowIdRole).toLongLong()))
        m_window.historyBox()->insertPlainText(*content);
}

bool PatientFields::eventFilter(QObject* watched, QEvent* event)
{
    const int index = fieldIndex(watched);
    if (index >= 0) {
        switch (event->type()) {
        case QEvent::FocusIn: {
            // Coming back from another window or a menu is no entry into the field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                fieldEntered(index);
            break;
        }
        case QEvent::KeyPress:
            if (fieldKeyPressed(index, static_cast<QKeyEvent*>(event)->key()))
                return true;
            break;
        case QEvent::MouseButtonDblClick:
            // The second click of a double-click is no second toggle.
            if (index == headingIndex(HeadingField::Sex))
                m_sexDoubleClick = true;
            break;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (index == headingIndex(HeadingField::Sex) && mouse->button() == Qt::LeftButton
                && m_fields[index]->rect().contains(mouse->position().toPoint())) {
                if (m_sexDoubleClick)
                    m_sexDoubleClick = false;
                else
                    toggleSex();
            }
            break;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

    // A list of patients hidden for good (not just with its window) is never entered again, and
    // letting go of it leaves the index the only holder of its names, so the next save changes
    // them in place rather than copying them all.
    if (event->type() == QEvent::Hide && watched == m_window.patientPopup() && m_window.patientPopup()->isHidden())
        m_patientRows->setMatches({});
    if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event)->key())) {
        if (watched == m_window.diagnosisPopup()) {
            takeDiagnosis();
            return true;
        }
        if (watched == m_window.addressPopup()) {
            takeAddress();
            return true;
        }
        if (watched == m_window.patientPopup()) {
            takePatient();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qelvaro

#include "PatientFields.moc"
