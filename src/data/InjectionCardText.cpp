#include "InjectionCardText.h"

#include <QList>
#include <QStringView>

#include <array>

namespace qelvaro {
namespace {

// Lower case already: matching lowers only the ASCII letters of the line, so "H" stands as "h".
constexpr std::array<QStringView, 19> kRouteKeywords = {
    u"iv/gtt", u"iv",     u"ivgtt",   u"im",     u"h",      u"静注",     u"静脉滴注",
    u"静滴",   u"静推",   u"静脉推注", u"加滴管", u"皮试",   u"微泵",     u"iv-vp",
    u"皮下",   u"皮内",   u"肌注",     u"肌肉注射", u"入小壶",
};

bool isBlankLine(QStringView line)
{
    for (const QChar c : line)
        if (c != u' ')
            return false;
    return true;
}

// ASCII letters lowered, everything else kept: other scripts' case rules must not make
// a line match ("ſ" is not "s" here).
void lowerAscii(QStringView line, QString& out)
{
    out.resize(line.size());
    QChar* dst = out.data();
    for (const QChar c : line)
        *dst++ = (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + (u'a' - u'A')) : c;
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

}  // namespace

QString injectionCardText(const QString& body)
{
    QString card;
    QList<QStringView> group;
    QString lowered;

    const auto takeLine = [&](QStringView line) {
        if (!isBlankLine(line))
            group.append(line);
        lowerAscii(line, lowered);
        if (!line.contains(u"用法") && !lowered.contains(u"sig"))
            return;
        for (const QStringView keyword : kRouteKeywords) {
            if (lowered.contains(keyword)) {
                for (const QStringView groupLine : group) {
                    card += groupLine;
                    card += u"\r\n";
                }
                break;
            }
        }
        group.clear();
    };

    const QStringView text(body);
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!isLineBreak(c))
            continue;
        takeLine(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    // The last line counts whether or not a line break ends it.
    takeLine(text.sliced(start));
    return card;
}

}  // namespace qelvaro
