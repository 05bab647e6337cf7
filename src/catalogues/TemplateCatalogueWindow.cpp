#include "TemplateCatalogueWindow.h"

namespace qelvaro {

TemplateCatalogueWindow::TemplateCatalogueWindow(AppContext& context, QWidget* parent)
    : TextBlockCatalogueWindow(context,
                               Design{TextBlockStore::Kind::Templates,
                                      "templateCatalogueWindow",
                                      QStringLiteral("病史模板"),
                                      8175,
                                      5130,
                                      {120, 120, 2835, 4380},
                                      {3660, 120, 2355, 315},
                                      {6660, 120, 1395, 315},
                                      {3120, 540, 4935, 3975},
                                      QStringLiteral("名称："),
                                      QStringLiteral("拼音："),
                                      {3060, 180},
                                      {6120, 180},
                                      4680,
                                      4020,
                                      QStringLiteral("请输入模板名称及内容！")},
                               parent)
{
}

void TemplateCatalogueWindow::openForAdding(const QString& history)
{
    open();
    beginAdding(history);
}

}  // namespace qelvaro
