#include "SetCatalogueWindow.h"

#include "OptionGroup.h"
#include "Twips.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>

namespace qelvaro {

SetCatalogueWindow::SetCatalogueWindow(AppContext& context, QWidget* parent)
    : TextBlockCatalogueWindow(context,
                               Design{TextBlockStore::Kind::Sets,
                                      "setCatalogueWindow",
                                      QStringLiteral("个人组套/中医验方维护"),
                                      7560,
                                      4575,
                                      {120, 120, 2835, 3840},
                                      {3600, 120, 2235, 315},
                                      {6360, 120, 1095, 315},
                                      {3060, 540, 4395, 3375},
                                      QStringLiteral("名称"),
                                      QStringLiteral("拼音"),
                                      {3120, 180},
                                      {5940, 180},
                                      4080,
                                      3420,
                                      QStringLiteral("请输入名称及内容！")},
                               parent)
{
    m_setsOption = new QRadioButton(kPersonalSetKind, this);
    m_setsOption->setObjectName(QStringLiteral("setsOption"));
    m_setsOption->setGeometry(twipsRect(240, 4140, 1200, 315));
    m_recipesOption = new QRadioButton(kRecipeKind, this);
    m_recipesOption->setObjectName(QStringLiteral("recipesOption"));
    m_recipesOption->setGeometry(twipsRect(1500, 4140, 1200, 315));
    m_setsOption->setChecked(true);
    connect(m_setsOption, &QRadioButton::toggled, this, [this](bool on) {
        tabStopOnKind();
        if (on)
            switchKind(kPersonalSetKind);
    });
    connect(m_recipesOption, &QRadioButton::toggled, this, [this](bool on) {
        tabStopOnKind();
        if (on)
            switchKind(kRecipeKind);
    });
    tabStopOnKind();
    setTabOrder(codeBox(), m_setsOption);
    setTabOrder(m_setsOption, m_recipesOption);
    setTabOrder(m_recipesOption, contentBox());
}

void SetCatalogueWindow::startAfresh()
{
    const QSignalBlocker quiet(m_setsOption);
    const QSignalBlocker quietToo(m_recipesOption);
    m_setsOption->setChecked(true);
    m_kind = kPersonalSetKind;
    tabStopOnKind();
}

void SetCatalogueWindow::tabStopOnKind()
{
    putTabStopOnChecked({m_setsOption, m_recipesOption});
}

void SetCatalogueWindow::switchKind(const QString& kind)
{
    // A kind without rows leaves the boxes as they were, but no longer bound to the row they came
    // from (of the other kind, and not listed): their text is a new entry of this kind. A kind
    // with rows binds its first row by the pick.
    m_kind = kind;
    listRows(true);
}

void SetCatalogueWindow::openForAdding(bool recipe, const QString& selection)
{
    open();
    QRadioButton* option = recipe ? m_recipesOption : m_setsOption;
    if (option->isChecked())
        switchKind(recipe ? kRecipeKind : kPersonalSetKind);
    else
        option->setChecked(true);
    beginAdding(selection);
}

}  // namespace qelvaro
