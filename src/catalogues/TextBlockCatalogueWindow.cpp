#include "TextBlockCatalogueWindow.h"

#include "AppContext.h"
#include "CatalogueWidgets.h"
#include "DataStore.h"
#include "MessageSink.h"
#include "Pinyin.h"
#include "TextRules.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace qelvaro {

namespace {

QRect place(const QRect& twips) { return twipsRect(twips.x(), twips.y(), twips.width(), twips.height()); }

QString boxForm(const QString& stored) { return splitLines(stored).join(u'\n'); }

}  // namespace

TextBlockCatalogueWindow::TextBlockCatalogueWindow(AppContext& context, const Design& design, QWidget* parent)
    : QWidget(parent), m_context(context), m_store(context.store.settings(), design.kind, &context.catalogueChanges),
      m_design(design)
{
    setObjectName(QString::fromLatin1(design.objectName));
    makeFixedDialog(this, design.caption, design.width, design.height);
    const bool sets = design.kind == TextBlockStore::Kind::Sets;

    m_list = new CatalogueList(this);
    m_list->setObjectName(QStringLiteral("nameList"));
    m_list->setGeometry(place(design.listPlace));
    connect(m_list, &CatalogueList::itemSelectionChanged, this, &TextBlockCatalogueWindow::pick);
    // A click on the item already selected loads it again (after 添加, to copy it).
    connect(m_list, &CatalogueList::itemClicked, this, &TextBlockCatalogueWindow::pick);

    auto* nameCaption = new QLabel(design.nameCaption, this);
    nameCaption->move(twipsPoint(design.nameCaptionAt.x(), design.nameCaptionAt.y() - 30));
    nameCaption->adjustSize();
    m_name = makeLineBox(this, "nameBox", design.namePlace.x(), design.namePlace.y(), design.namePlace.width(),
                         design.namePlace.height());
    auto* codeCaption = new QLabel(design.codeCaption, this);
    codeCaption->move(twipsPoint(design.codeCaptionAt.x(), design.codeCaptionAt.y() - 30));
    codeCaption->adjustSize();
    m_code = makeLineBox(this, "codeBox", design.codePlace.x(), design.codePlace.y(), design.codePlace.width(),
                         design.codePlace.height());
    m_content = new MultiLineBox(this);
    m_content->setObjectName(QStringLiteral("contentBox"));
    m_content->setGeometry(place(design.contentPlace));
    m_content->setFont(songFont(10.5));
    if (sets) {
        m_name->setFont(songFont(10.5));
        m_code->setFont(songFont(10.5));
    } else {
        m_content->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }

    const int left = design.firstButtonLeft;
    m_add = makeButton(this, QStringLiteral("添  加"), "addButton", left, design.buttonTop, 1000, 375);
    m_save = makeButton(this, QStringLiteral("保  存"), "saveButton", left + 1020, design.buttonTop, 1000, 375);
    m_delete = makeButton(this, QStringLiteral("删  除"), "deleteButton", left + 2040, design.buttonTop, 1000, 375);
    m_close = makeButton(this, QStringLiteral("退 出"), "closeButton", left + 3060, design.buttonTop, 1000, 375);

    connect(m_name, &QLineEdit::textChanged, this, [this] {
        // Not while a picked row is copied in: its stored code stands.
        if (!m_filling)
            setBoxText(m_code, pinyinCode(trimBlanks(m_name->text())));
    });
    connect(m_add, &QPushButton::clicked, this, &TextBlockCatalogueWindow::add);
    connect(m_save, &QPushButton::clicked, this, &TextBlockCatalogueWindow::save);
    connect(m_delete, &QPushButton::clicked, this, &TextBlockCatalogueWindow::remove);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    if (sets) {
        QWidget* order[] = {m_add, m_delete, m_save, m_name, m_list, m_close, m_code};
        for (size_t i = 0; i + 1 < std::size(order); ++i)
            setTabOrder(order[i], order[i + 1]);
    } else {
        QWidget* order[] = {m_close, m_list, m_name, m_save, m_delete, m_add, m_code, m_content};
        for (size_t i = 0; i + 1 < std::size(order); ++i)
            setTabOrder(order[i], order[i + 1]);
    }
}

void TextBlockCatalogueWindow::open()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    // The controls as designed: empty boxes, every button enabled.
    m_name->clear();
    m_code->clear();
    m_content->clear();
    for (QPushButton* button : {m_add, m_save, m_delete, m_close})
        button->setEnabled(true);
    startAfresh();
    listRows(true);
    afterOpening();
    // A little above the centre, as the window has always stood.
    centreOnScreen(this, {.raiseTwips = 225});
    show();
    focusOnOpening()->setFocus(Qt::OtherFocusReason);
    activateWindow();
}

void TextBlockCatalogueWindow::listRows(bool pickFirst)
{
    refillList(m_list, m_store.list(currentKind()), pickFirst, m_target);
}

void TextBlockCatalogueWindow::pick()
{
    const std::optional<qint64> rowId = m_list->selectedRowId();
    if (!rowId)
        return;
    const std::optional<TextBlockRow> row = m_store.read(*rowId);
    if (!row) {
        // Deleted behind the window's back: nothing is bound, the boxes keep what they show, and
        // the list is filled again without it. 保存 stays as it was: after an addition it must
        // not store the same entry twice.
        m_target.row.reset();
        listRows(false);
        return;
    }
    m_save->setEnabled(true);
    m_filling = true;
    m_name->setText(row->name);
    m_code->setText(row->code);
    m_content->setPlainText(boxForm(row->content));
    m_filling = false;
    m_target.row = rowId;
    m_target.adding = false;
}

void TextBlockCatalogueWindow::add()
{
    beginAdding(QString());
}

void TextBlockCatalogueWindow::beginAdding(const QString& content)
{
    m_content->setPlainText(boxForm(content));
    m_name->clear();
    m_target.adding = true;
    m_target.row.reset();
    m_save->setEnabled(true);
    m_name->setFocus(Qt::OtherFocusReason);
}

void TextBlockCatalogueWindow::save()
{
    const bool sets = m_design.kind == TextBlockStore::Kind::Sets;
    if (m_name->text().isEmpty() || m_content->toPlainText().isEmpty()) {
        m_context.messages.tell(m_design.missingMessage, QStringLiteral("Qelvaro"));
        return;
    }
    QString content = toStoredLineBreaks(m_content->toPlainText());
    if (sets)
        content = dropOneTrailingLineBreak(content);
    const bool adding = m_target.rowToOverwrite() == std::nullopt;
    const WriteResult result = m_store.save(m_target.rowToOverwrite(), {m_name->text(), m_code->text(), content},
                                            currentKind());
    if (!result.ok()) {
        // Nothing stored: the boxes, the add flag and the buttons stay as they are.
        m_context.messages.warn(result.refusal);
        return;
    }
    if (sets && boxForm(content) != m_content->toPlainText())
        m_content->setPlainText(boxForm(content));
    if (adding)
        m_save->setEnabled(false);
    // No item is selected afterwards, but the boxes show the row just written: the next 保存
    // overwrites it and 删除 deletes it.
    listRows(false);
    m_target = EditTarget{false, result.rowId};
    emit saved();
}

void TextBlockCatalogueWindow::remove()
{
    // Only the row the boxes show; with none nothing is deleted.
    if (!m_target.row)
        return;
    if (!m_store.remove(*m_target.row)) {
        m_context.messages.warn(QStringLiteral("未能从数据库删除该条目。"));
        return;
    }
    m_target.row.reset();
    listRows(false);
    m_name->clear();
    m_content->clear();
    m_code->clear();
}

}  // namespace qelvaro
