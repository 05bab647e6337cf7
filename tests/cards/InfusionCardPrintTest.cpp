#include "InfusionCardFixture.h"
#include "InfusionCardStore.h"
#include "PdfText.h"
#include "RecordingSink.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;
using Kind = PageOperation::Kind;

namespace {

constexpr double kMm = 56.7;

const PageOperation* textOperation(const QList<PageOperation>& operations, const QString& text)
{
    for (const PageOperation& op : operations)
        if (op.kind == Kind::Text && op.text == text)
            return &op;
    return nullptr;
}

}  // namespace

class InfusionCardPrintTest : public QObject {
    Q_OBJECT
private slots:
    void printsTheCardWhereItStands_data();
    void printsTheCardWhereItStands();
    void cardLandsOnPaper();
};

void InfusionCardPrintTest::printsTheCardWhereItStands_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<bool>("portrait");
    QTest::addColumn<QPointF>("shift");  // where the card's point (0, 0) lands, twips

    QTest::newRow("portrait, 3 and 5 mm") << u"3"_qs << u"5"_qs << true << QPointF(3 * kMm - 567, 5 * kMm - 567);
    QTest::newRow("landscape, 3 and 5 mm: the right half")
        << u"3"_qs << u"5"_qs << false << QPointF(3 * kMm + 7654.5, 5 * kMm - 567);
    QTest::newRow("empty and not a number count as 0") << QString() << u"mm"_qs << true << QPointF(-567, -567);
    QTest::newRow("leading number, minus") << u"12abc"_qs << u"-5"_qs << true
                                           << QPointF(12 * kMm - 567, -5 * kMm - 567);
}

// The labels, values and rules at their places on the card, shifted by the margins; unsaved edits
// print as shown and scrolling moves nothing on paper.
void InfusionCardPrintTest::printsTheCardWhereItStands()
{
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(bool, portrait);
    QFETCH(QPointF, shift);

    RecordingTarget target;
    InfusionCardFixture f(&target);
    f.build();
    f.fillPrescription();
    InfusionCardWindow& card = f.openCard();
    card.leftMarginBox()->setText(left);
    card.topMarginBox()->setText(top);
    (portrait ? card.portraitOption() : card.landscapeOption())->setChecked(true);
    card.cell(kSpeedColumn, 1)->setText(u"60滴/分"_qs);
    card.scrollBar()->setValue(5);

    QTest::mouseClick(card.findChild<QPushButton*>(u"printCardButton"_qs), Qt::LeftButton);
    QCOMPARE(target.jobs.size(), 1);
    QCOMPARE(target.jobs[0].name, u"输液执行卡"_qs);
    const QList<PageOperation>& ops = target.jobs[0].operations;
    QCOMPARE(ops.first().kind, Kind::Begin);
    QCOMPARE(ops.first().orientation, portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    QCOMPARE(ops.last().kind, Kind::End);

    const QList<std::tuple<QString, QPointF, PageFont>> expected{
        {u"姓名："_qs, {900, 1980}, {u"宋体"_qs, 10.5, true}},
        {u"护士签名"_qs, {6420, 2880}, {u"宋体"_qs, 10.5, true}},
        {u"张三"_qs, {1560, 1980}, {u"宋体"_qs, 10.5, false}},
        {u"上呼吸道感染"_qs, {1560, 2460}, {u"宋体"_qs, 10.5, false}},
        {u"林志远"_qs, {1560, 10140}, {u"宋体"_qs, 10.5, false}},
        {kInfusionNames[2], {960, 3360 + 2 * 480}, {u"宋体"_qs, 10.5, false}},
        {u"60滴/分"_qs, {4380, 3360 + 480}, {u"宋体"_qs, 10.5, false}},
    };
    for (const auto& [text, at, font] : expected) {
        const PageOperation* op = textOperation(ops, text);
        QVERIFY2(op, qPrintable(text));
        // The edge coordinates are single-precision values, as on the printer.
        QVERIFY2(QLineF(QPointF(op->x, op->y), at + shift).length() < 0.01, qPrintable(text));
        QCOMPARE(op->font, font);
    }
    // The title stands centred across the 148 mm card, in its own font.
    const PageOperation* title = textOperation(ops, u"输液执行卡"_qs);
    QVERIFY(title);
    QVERIFY(qAbs(title->y - (1260 + shift.y())) < 0.01);
    const double titleWidth = card.findChild<QLabel*>(u"cardLabel1"_qs)->width() * 15.0;
    QVERIFY(qAbs(title->x - shift.x() - (148 * kMm - titleWidth) / 2) <= 15);
    QCOMPARE(title->font, (PageFont{u"宋体"_qs, 14.25, true}));

    QList<PageOperation> lines;
    for (const PageOperation& op : ops)
        if (op.kind == Kind::Line)
            lines.append(op);
    QCOMPARE(lines.size(), 21);
    const QList<std::tuple<int, QPointF, QPointF>> rules{{0, {900, 2760}, {7380, 2760}},
                                                         {15, {900, 9960}, {7380, 9960}},
                                                         {16, {900, 9960}, {900, 2760}},
                                                         {20, {5280, 2760}, {5280, 9960}}};
    for (const auto& [index, from, to] : rules) {
        const PageOperation& l = lines[index];
        QVERIFY(QLineF(QPointF(l.x, l.y), from + shift).length() < 0.01);
        QVERIFY(QLineF(QPointF(l.x2, l.y2), to + shift).length() < 0.01);
    }
    QCOMPARE(lines[0].width, 1);

    // Nothing is written by a print.
    QCOMPARE(readInfusionCard(f.store.records(), f.key()).status, InfusionCardRead::Status::NoCard);
}

void InfusionCardPrintTest::cardLandsOnPaper()
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"输液执行卡.pdf"_qs);
    PdfTarget target(pdf);
    InfusionCardFixture f(&target);
    f.build();
    f.fillPrescription();
    InfusionCardWindow& card = f.openCard();
    card.leftMarginBox()->setText(u"20"_qs);
    card.topMarginBox()->setText(u"15"_qs);
    QVERIFY(card.printCard());

    // A PDF measures from the corner of the sheet.
    const QPointF shift(20 * kMm - 567, 15 * kMm - 567);
    const QList<QPair<QString, QPointF>> expected{{u"姓名："_qs, {900, 1980}},
                                                  {u"张三"_qs, {1560, 1980}},
                                                  {u"注射用头孢曲松钠"_qs, {960, 3360 + 480}},
                                                  {u"护士签名"_qs, {6420, 2880}}};
    const PdfPage page = readPdfPage(pdf);
    QVERIFY(page.size.height() > page.size.width());
    for (const auto& [text, twips] : expected) {
        const QPointF points = (twips + shift) / 20.0;
        const PdfWord* found = nullptr;
        for (const PdfWord& word : page.words)
            if (word.text.startsWith(text) && (!found || QLineF(word.box.topLeft(), points).length() <
                                                             QLineF(found->box.topLeft(), points).length()))
                found = &word;
        QVERIFY2(found, qPrintable(text));
        // Within a point: the reader's box top follows the face's own ascent.
        QVERIFY2(QLineF(found->box.topLeft(), points).length() <= 1.0,
                 qPrintable(u"%1 at (%2, %3), expected (%4, %5)"_qs.arg(text)
                                .arg(found->box.left())
                                .arg(found->box.top())
                                .arg(points.x())
                                .arg(points.y())));
    }
}

QTEST_MAIN(InfusionCardPrintTest)
#include "InfusionCardPrintTest.moc"
