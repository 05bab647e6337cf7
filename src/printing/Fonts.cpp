#include "Fonts.h"

#include "TextRules.h"

#include <QFontDatabase>
#include <QStringList>

#include <initializer_list>
#include <utility>

namespace qelvaro {

QFont printFont(const PageFont& font)
{
    QFont result(trimBlanks(font.name));
    result.setPointSizeF(font.pointSize);
    result.setBold(font.bold);
    // Unhinted outlines scale linearly, so the measured width of a text is the printed one.
    result.setHintingPreference(QFont::PreferNoHinting);
    result.setStyleStrategy(QFont::PreferOutline);
    return result;
}

void installFontSubstitutions()
{
    // Each Windows face name goes to installed faces of its own kind, best first. The first Ming
    // face (宋体) and the first Kai face (楷体_GB2312), the body's faces, have Latin letters exactly
    // half as wide as a Chinese character, so the blank-padded herb columns of the body line up on
    // screen and on paper. No free clerical (隶书) face is packaged, so 隶书 takes a Kai face other
    // than the one 楷体 takes; its Latin letters are within 2% of half.
    const QStringList song{QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL SungtiL GB")};
    const QStringList hei{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei")};
    const QStringList kai{QStringLiteral("AR PL KaitiM GB"), QStringLiteral("AR PL UKai CN")};
    const QStringList clerical{QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL KaitiM GB")};
    // Whatever is missing of a kind, a face with the Chinese glyphs stands in: never empty boxes.
    const QStringList anyChinese{QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Micro Hei"),
                                 QStringLiteral("WenQuanYi Zen Hei")};
    const std::initializer_list<std::pair<const char*, const QStringList*>> names{
        {"宋体", &song},       {"新宋体", &song}, {"SimSun", &song},   {"仿宋_GB2312", &song},
        {"黑体", &hei},        {"SimHei", &hei},  {"楷体_GB2312", &kai}, {"楷体", &kai},
        {"隶书", &clerical}};

    const QStringList installed = QFontDatabase::families();
    for (const auto& [name, faces] : names) {
        QStringList available;
        for (const QString& face : *faces + anyChinese)
            if (installed.contains(face) && !available.contains(face))
                available << face;
        if (!available.isEmpty())
            QFont::insertSubstitutions(QString::fromUtf8(name), available);
    }
}

}  // namespace qelvaro
