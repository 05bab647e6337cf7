#pragma once

#include "TextBlockCatalogueWindow.h"

#include <QPushButton>

class QRadioButton;

namespace qelvaro {

// "个人组套/中医验方维护": the personal sets and the recipes, one kind listed at a time. Opening
// lists the personal sets and leaves adding on, so a changed content is saved as a new set until
// a row is picked.
class SetCatalogueWindow : public TextBlockCatalogueWindow {
    Q_OBJECT
public:
    explicit SetCatalogueWindow(AppContext& context, QWidget* parent = nullptr);

    // The adding mode of the prescription body's menu: the kind of the prescription (recipes for a
    // 中医 prescription), the selected body text as the content, an empty name to type.
    void openForAdding(bool recipe, const QString& selection);

    QRadioButton* kindButton(int index) const { return index == 0 ? m_setsOption : m_recipesOption; }
    QString kind() const { return m_kind; }

protected:
    void startAfresh() override;
    void afterOpening() override { m_target.adding = true; }
    QWidget* focusOnOpening() const override { return addButton(); }
    QString currentKind() const override { return m_kind; }

private:
    void switchKind(const QString& kind);
    void tabStopOnKind();

    QString m_kind = kPersonalSetKind;
    QRadioButton* m_setsOption = nullptr;
    QRadioButton* m_recipesOption = nullptr;
};

}  // namespace qelvaro
