#pragma once

#include <QString>
#include <QStringList>

namespace qelvaro {

// Text rules of the prescription body, without a window.
//
// Bodies go in with any line breaks (CR LF, LF, CR, U+2029, U+2028) and come out in the editor's
// form: "\n" between lines, as QPlainTextEdit::toPlainText() gives and Prescription::body holds
// (the record store writes CR LF). Positions (caret, selection) count every line break as one
// character, as QTextCursor does, so a position in the input and in the output means the same
// place in the box. Out-of-range positions are clamped.
//
// Body conventions: a drug line holds one drug with its amount; a usage line is four blanks,
// "用法：" and the usage text, and closes its drug group with one empty line after it; a herb
// cell is the herb's text padded with blanks to a code-page display width of 13.

// A change of the body. The window applies it either by putting `text` into the box and the
// caret at `caret`, or, keeping the box's undo history, by replacing the range from..to of the
// old body with `inserted` through a text cursor; both give the same text and caret.
struct BodyEdit {
    QString text;      // the whole body afterwards
    int caret = 0;     // caret afterwards: just after the inserted text
    int from = 0;      // range of the old body that `inserted` replaced
    int to = 0;
    QString inserted;  // "\n" between lines, like `text`
};

// The 1-based display column of a position in its line: the code-page width (2 for a GBK
// double-byte character, 1 for any other) of the line's text before it, plus one.
int caretColumn(const QString& body, int position);

// A catalogue drug entry is the drug with its amount, optionally followed by "\" and a usage;
// every further "\" starts one more usage.
struct DrugEntryParts {
    QString drug;
    QStringList usages;
};
DrugEntryParts splitDrugEntry(const QString& entry);

// What a drug entry appends to the body: drug line, a usage line for each usage and one empty
// line; an entry that is itself a usage ("用法" in it) becomes an indented usage line and an empty
// line; a plain drug one line. It is appended at the end of the body, on a line of its own: a
// body whose last line holds text gets a line break first.
QString drugInsertionText(const QString& entry);
BodyEdit insertDrug(const QString& body, const QString& entry);

// A herb cell: the text and blanks up to display width 13; a wider text is kept whole, no blanks.
QString herbCell(const QString& herb);
// Replaces the selection (or inserts at the caret when start == end) with the herb's cell; when
// the cell would start after column 31 (three cells on the line already), an empty line comes
// first and the cell begins a new line of cells.
BodyEdit insertHerb(const QString& body, int selectionStart, int selectionEnd, const QString& herb);

// A personal set's content appended on a line of its own, followed by an empty line.
BodyEdit insertSet(const QString& body, const QString& content);
// A recipe's content appended right after the body's last character, as stored.
BodyEdit insertRecipe(const QString& body, const QString& content);

// The drug picker's categories 0..14 (button order); -1 stands for "none chosen yet", which acts
// as 0.
inline constexpr int kCategoryCount = 15;
inline constexpr int kHerbCategory = 12;
inline constexpr int kSetCategory = 13;
inline constexpr int kRecipeCategory = 14;

enum class InsertionRule { Drug, Herb, Set, Recipe };
InsertionRule insertionRule(int category);

// The prescription kind and sheet title an insertion from that category leaves.
struct KindAndTitle {
    QString kind;
    QString title;
};
KindAndTitle kindAfterInsertion(int category);

// Replaces the selection (or inserts at the caret) with text.
BodyEdit replaceSelection(const QString& body, int selectionStart, int selectionEnd,
                          const QString& text);

// The usage-line commands of the body's context menu.
enum class UsageInserter { IntravenousDrip, Intramuscular, IntravenousPush, Dropper };
QString usageInserterCaption(UsageInserter inserter);  // "静脉滴注", ...
QString usageInserterLine(UsageInserter inserter);     // "    用法：iv/gtt qd", ...
// The command's usage line and an empty line in place of the selection.
BodyEdit insertUsage(const QString& body, int selectionStart, int selectionEnd,
                     UsageInserter inserter);

// The shorthand labels 0..21 by index (17 and 21 are the captions of the drug and the template
// search boxes); the empty text for any other index.
inline constexpr int kShorthandLabelCount = 22;
inline constexpr int kDrugSearchCaption = 17;
inline constexpr int kTemplateSearchCaption = 21;
// A label of the shorthand strip, which inserts its caption (the two search captions insert nothing).
constexpr bool isShorthandInsert(int index)
{
    return index >= 0 && index < kShorthandLabelCount && index != kDrugSearchCaption && index != kTemplateSearchCaption;
}
QString shorthandCaption(int index);
// What a shorthand label inserts: a caption holding "用法：" is a usage line and brings an empty
// line after it; any other caption goes in alone.
QString shorthandText(const QString& caption);
BodyEdit insertShorthand(const QString& body, int selectionStart, int selectionEnd,
                         const QString& caption);

// Text taken from a box's selection (QTextCursor::selectedText puts U+2029 between paragraphs)
// with CR LF line breaks, as stored texts hold them.
QString selectionToText(const QString& selectedText);

}  // namespace qelvaro
