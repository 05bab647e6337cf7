#include "InfusionCardFormat.h"

#include "TextRules.h"

namespace qelvaro {

QString withoutCellSeparator(const QString& text)
{
    QString kept = text;
    return kept.replace(u'@', QChar(0xFF20));
}

StoredInfusionCard encodeInfusionCard(const InfusionCard& card)
{
    StoredInfusionCard stored;
    stored[0] = encodeCardColumn(card.header);
    for (int c = 0; c < kInfusionColumnCount; ++c)
        stored[1 + c] = encodeCardColumn(card.cells[c]);
    return stored;
}

InfusionCard decodeInfusionCard(const StoredInfusionCard& stored)
{
    InfusionCard card;
    card.header = decodeCardColumn<kInfusionHeaderCount>(stored[0]);
    for (int c = 0; c < kInfusionColumnCount; ++c)
        card.cells[c] = decodeCardColumn<kInfusionRowCount>(stored[1 + c]);
    return card;
}

std::array<QString, kInfusionRowCount> spreadInjectionText(const QString& injectionText)
{
    QStringList lines = splitLines(injectionText + QStringLiteral("\r\n"));
    lines.removeLast();  // the empty piece after the final line break is no line
    std::array<QString, kInfusionRowCount> names;
    for (int k = 0; k < kInfusionRowCount && k < lines.size(); ++k)
        names[k] = lines[k];
    return names;
}

}  // namespace qelvaro
