#pragma once

#include "TextBlockStore.h"

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qelvaro {

struct AppContext;
class CatalogueList;

// The shared design of the set/recipe window and the history-template window: a list of names,
// the picked row's name, code and content in three boxes, and 添加, 保存, 删除, 退出. The add flag
// and the row the boxes show outlive a close; every opening starts the controls afresh.
class TextBlockCatalogueWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the window; a closed window starts afresh, an open one comes to the front.
    void open();

    CatalogueList* list() const { return m_list; }
    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* codeBox() const { return m_code; }
    QPlainTextEdit* contentBox() const { return m_content; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* closeButton() const { return m_close; }
    const EditTarget& target() const { return m_target; }

signals:
    // A row was stored by 保存.
    void saved();

protected:
    struct Design {
        TextBlockStore::Kind kind;
        const char* objectName;
        QString caption;
        int width, height;  // client area, twips
        QRect listPlace, namePlace, codePlace, contentPlace;
        QString nameCaption, codeCaption;
        QPoint nameCaptionAt, codeCaptionAt;
        int buttonTop, firstButtonLeft;
        QString missingMessage;
    };
    TextBlockCatalogueWindow(AppContext& context, const Design& design, QWidget* parent);

    // What differs on opening: the set window resets its kind and turns adding on afterwards.
    virtual void startAfresh() {}
    virtual void afterOpening() {}
    virtual QWidget* focusOnOpening() const = 0;
    // The kind stored with a row (sets only).
    virtual QString currentKind() const { return QString(); }

    void listRows(bool pickFirst);
    // Empties the boxes, takes the given content and waits for a name: the adding mode that the
    // main window opens.
    void beginAdding(const QString& content);

    AppContext& m_context;
    TextBlockStore m_store;
    EditTarget m_target;

private:
    void pick();
    void add();
    void save();
    void remove();

    Design m_design;
    bool m_filling = false;

    CatalogueList* m_list = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_code = nullptr;
    QPlainTextEdit* m_content = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace qelvaro
