#include "BodyText.h"

#include "Gbk.h"
#include "TextRules.h"

#include <QStringView>

#include <algorithm>
#include <array>

namespace qelvaro {
namespace {

constexpr int kHerbCellWidth = 13;
// A cell starting after this column would be the fourth on its line.
constexpr int kLastHerbCellColumn = 31;

const QString kUsagePrefix = QStringLiteral("    用法：");
const QString kEmptyLineAfter = QStringLiteral("\n\n");

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Every line break as "\n", so that positions are plain indices.
QString editorText(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (!isLineBreak(text[i]) || text[i] == u'\n'))
        ++i;
    if (i == text.size())
        return text;
    QString out;
    out.reserve(text.size());
    out += QStringView(text).first(i);
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!isLineBreak(c)) {
            out += c;
            continue;
        }
        out += u'\n';
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    return out;
}

int clampedPosition(const QString& text, int position)
{
    return int(std::clamp<qsizetype>(position, 0, text.size()));
}

int columnAt(const QString& text, int position)
{
    const qsizetype lineStart = position == 0 ? 0 : text.lastIndexOf(u'\n', position - 1) + 1;
    return gbkWidth(text.sliced(lineStart, position - lineStart)) + 1;
}

// The edit that replaces from..to of an editor-form body with inserted.
BodyEdit replaced(const QString& body, int from, int to, const QString& inserted)
{
    BodyEdit edit;
    edit.text.reserve(body.size() - (to - from) + inserted.size());
    edit.text += QStringView(body).first(from);
    edit.text += inserted;
    edit.text += QStringView(body).sliced(to);
    edit.caret = from + int(inserted.size());
    edit.from = from;
    edit.to = to;
    edit.inserted = inserted;
    return edit;
}

BodyEdit appended(const QString& body, const QString& inserted)
{
    const int end = int(body.size());
    return replaced(body, end, end, inserted);
}

BodyEdit replacedSelection(const QString& body, int selectionStart, int selectionEnd,
                           const QString& inserted)
{
    const int a = clampedPosition(body, selectionStart);
    const int b = clampedPosition(body, selectionEnd);
    return replaced(body, std::min(a, b), std::max(a, b), editorText(inserted));
}

struct Captioned {
    UsageInserter inserter;
    const char16_t* caption;
    const char16_t* line;
};
constexpr std::array<Captioned, 4> kUsageInserters = {{
    {UsageInserter::IntravenousDrip, u"静脉滴注", u"    用法：iv/gtt qd"},
    {UsageInserter::Intramuscular, u"肌肉注射", u"    用法：im st"},
    {UsageInserter::IntravenousPush, u"静脉推注", u"    用法：iv st"},
    {UsageInserter::Dropper, u"加滴管", u"    用法：加滴管 bid"},
}};

const Captioned& usageInserter(UsageInserter inserter)
{
    for (const Captioned& c : kUsageInserters)
        if (c.inserter == inserter)
            return c;
    return kUsageInserters[0];
}

constexpr std::array<const char16_t*, kShorthandLabelCount> kShorthandCaptions = {
    u"    用法：iv/gtt qd", u"ml", u"qid", u"tid", u"bid", u"iv", u"qod", u"st", u"#", u"mg", u"q8h",
    u"qn", u"prn", u"    用法：肌注 st", u"HS", u"qd", u"*", u"拼音码查询：", u"    用法：加滴管 bid",
    u"皮试", u"    用法：", u"病史模板查询：",
};

}  // namespace

int caretColumn(const QString& body, int position)
{
    const QString text = editorText(body);
    return columnAt(text, clampedPosition(text, position));
}

DrugEntryParts splitDrugEntry(const QString& entry)
{
    QStringList parts = entry.split(u'\\');
    DrugEntryParts result;
    result.drug = parts.takeFirst();
    result.usages = parts;
    return result;
}

QString drugInsertionText(const QString& entry)
{
    if (entry.contains(u'\\')) {
        const DrugEntryParts parts = splitDrugEntry(entry);
        QString text = parts.drug;
        for (const QString& usage : parts.usages)
            text += u'\n' + kUsagePrefix + usage;
        return editorText(text + kEmptyLineAfter);
    }
    if (entry.contains(u"用法"))
        return editorText(QStringLiteral("    ") + entry + kEmptyLineAfter);
    return editorText(entry + u'\n');
}

BodyEdit insertDrug(const QString& body, const QString& entry)
{
    const QString text = editorText(body);
    // A drug joined to the text of the last line ("qd生脉注射液") would be read as one line.
    const bool lastLineHoldsText = columnAt(text, int(text.size())) > 1;
    return appended(text, (lastLineHoldsText ? QStringLiteral("\n") : QString()) + drugInsertionText(entry));
}

QString herbCell(const QString& herb)
{
    const int width = gbkWidth(herb);
    return width < kHerbCellWidth ? herb + QString(kHerbCellWidth - width, u' ') : herb;
}

BodyEdit insertHerb(const QString& body, int selectionStart, int selectionEnd, const QString& herb)
{
    const QString text = editorText(body);
    // The column where the cell will stand: the selection's start, whatever it replaces.
    const int start = std::min(clampedPosition(text, selectionStart), clampedPosition(text, selectionEnd));
    const QString cell = herbCell(herb);
    return replacedSelection(text, selectionStart, selectionEnd,
                             columnAt(text, start) > kLastHerbCellColumn ? kEmptyLineAfter + cell : cell);
}

BodyEdit insertSet(const QString& body, const QString& content)
{
    const QString text = editorText(body);
    const bool lastLineHoldsText = columnAt(text, int(text.size())) > 1;
    return appended(text, editorText((lastLineHoldsText ? QStringLiteral("\n") : QString()) + content +
                                     kEmptyLineAfter));
}

BodyEdit insertRecipe(const QString& body, const QString& content)
{
    return appended(editorText(body), editorText(content));
}

InsertionRule insertionRule(int category)
{
    switch (category) {
    case kHerbCategory:
        return InsertionRule::Herb;
    case kSetCategory:
        return InsertionRule::Set;
    case kRecipeCategory:
        return InsertionRule::Recipe;
    default:
        return InsertionRule::Drug;
    }
}

KindAndTitle kindAfterInsertion(int category)
{
    if (category == kHerbCategory || category == kRecipeCategory)
        return {QStringLiteral("中医"), QStringLiteral("中医处方笺")};
    return {QStringLiteral("普通"), QStringLiteral("普通处方笺")};
}

BodyEdit replaceSelection(const QString& body, int selectionStart, int selectionEnd,
                          const QString& text)
{
    return replacedSelection(editorText(body), selectionStart, selectionEnd, text);
}

QString usageInserterCaption(UsageInserter inserter)
{
    return QString::fromUtf16(usageInserter(inserter).caption);
}

QString usageInserterLine(UsageInserter inserter)
{
    return QString::fromUtf16(usageInserter(inserter).line);
}

BodyEdit insertUsage(const QString& body, int selectionStart, int selectionEnd,
                     UsageInserter inserter)
{
    return replaceSelection(body, selectionStart, selectionEnd, usageInserterLine(inserter) + kEmptyLineAfter);
}

QString shorthandCaption(int index)
{
    if (index < 0 || index >= kShorthandLabelCount)
        return {};
    return QString::fromUtf16(kShorthandCaptions[index]);
}

QString shorthandText(const QString& caption)
{
    return caption.contains(u"用法：") ? caption + kEmptyLineAfter : caption;
}

BodyEdit insertShorthand(const QString& body, int selectionStart, int selectionEnd,
                         const QString& caption)
{
    return replaceSelection(body, selectionStart, selectionEnd, shorthandText(caption));
}

QString selectionToText(const QString& selectedText) { return toStoredLineBreaks(selectedText); }

}  // namespace qelvaro
