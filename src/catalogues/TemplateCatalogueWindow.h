#pragma once

#include "TextBlockCatalogueWindow.h"

#include <QPushButton>

namespace qelvaro {

// "病史模板": the history templates. A template's search key is its name followed by its code;
// every save tells the main window (saved()), which shows its whole template list again.
class TemplateCatalogueWindow : public TextBlockCatalogueWindow {
    Q_OBJECT
public:
    explicit TemplateCatalogueWindow(AppContext& context, QWidget* parent = nullptr);

    // The adding mode of the history box's link: the whole history text as the content, an empty
    // name to type.
    void openForAdding(const QString& history);

protected:
    QWidget* focusOnOpening() const override { return closeButton(); }
};

}  // namespace qelvaro
