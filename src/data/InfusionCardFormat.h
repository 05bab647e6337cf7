#pragma once

#include <QString>

#include <array>

namespace qelvaro {

// The infusion execution card: seven header and footer values and a grid of fourteen rows.
inline constexpr int kInfusionHeaderCount = 7;  // 姓名 性别 年龄 日期 诊断 医生 护士
enum class InfusionHeader { Name = 0, Sex, Age, Date, Diagnosis, Doctor, Nurse };
inline constexpr int kInfusionRowCount = 14;
inline constexpr int kInfusionColumnCount = 4;  // 名称 速度 执行时间 护士签名

enum InfusionColumn { kNameColumn = 0, kSpeedColumn, kTimeColumn, kSignatureColumn };

struct InfusionCard {
    std::array<QString, kInfusionHeaderCount> header;
    std::array<std::array<QString, kInfusionRowCount>, kInfusionColumnCount> cells;  // [column][row]

    bool operator==(const InfusionCard&) const = default;
};

// The card as the record keeps it, columns T4 (header) and T5..T8 (the grid columns): every cell
// text followed by one "@", with no escape. A card is saved once T4 holds any text.
using StoredInfusionCard = std::array<QString, 1 + kInfusionColumnCount>;

// The stored form has no escape, so a cell never holds "@": it is kept as the full-width "＠",
// which reads the same to the nurse and cannot split a cell on reload.
QString withoutCellSeparator(const QString& text);

// Cell texts joined, each followed by "@" (an "@" inside a text becomes "＠").
template <std::size_t N>
QString encodeCardColumn(const std::array<QString, N>& cells)
{
    QString stored;
    for (const QString& cell : cells)
        stored += withoutCellSeparator(cell) + u'@';
    return stored;
}

// Splits a stored column into n cells from the first: each cell is the text before the next "@".
// Cells for which no "@" is left stay empty; text after the last "@" and elements beyond n are
// dropped.
template <std::size_t N>
std::array<QString, N> decodeCardColumn(const QString& stored)
{
    std::array<QString, N> cells;
    qsizetype start = 0;
    for (QString& cell : cells) {
        const qsizetype at = stored.indexOf(u'@', start);
        if (at < 0)
            break;
        cell = stored.mid(start, at - start);
        start = at + 1;
    }
    return cells;
}

StoredInfusionCard encodeInfusionCard(const InfusionCard& card);
InfusionCard decodeInfusionCard(const StoredInfusionCard& stored);

// The 名称 column of a new card: the injection-card text and one more line break, line k in row
// k; what does not fit the fourteen rows is dropped. Every line of the text thus fills a row, and
// the row after the last one stays empty.
std::array<QString, kInfusionRowCount> spreadInjectionText(const QString& injectionText);

}  // namespace qelvaro
