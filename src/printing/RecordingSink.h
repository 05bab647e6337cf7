#pragma once

#include "PageSink.h"
#include "PrintTarget.h"

#include <QList>
#include <QStringList>

namespace qelvaro {

// Keeps every operation instead of drawing, for tests of the printouts. Its metrics are fixed so
// that expected positions can be worked out by hand: a line is 1.2 em high (24 twips per point;
// the Chinese faces measure about 1.17 em), a wide character (CJK, full-width forms) is 1 em wide
// and any other character half an em, as in the double-byte fonts the layouts were made with.
class RecordingSink : public PageSink {
public:
    static double lineHeightFor(double pointSize) { return pointSize * 24.0; }
    static double textWidthFor(const QString& text, double pointSize);

    bool begin(QPageLayout::Orientation orientation) override;
    void text(double x, double y, const QString& text, const PageFont& font) override;
    void line(double x1, double y1, double x2, double y2, int width) override;
    void newPage() override;
    bool end() override;
    double lineHeight(const PageFont& font) const override { return lineHeightFor(font.pointSize); }
    double textWidth(const QString& text, const PageFont& font) const override
    {
        return textWidthFor(text, font.pointSize);
    }

    QList<PageOperation> operations;
    bool failBegin = false;  // makes begin() refuse, as a device that cannot start
    bool failEnd = false;    // makes end() report a failed job

    QList<PageOperation> ofKind(PageOperation::Kind kind) const;
    QStringList texts() const;
};

// A print target that records each job, for tests of the windows that print.
class RecordingTarget : public PrintTarget {
public:
    struct Job {
        QString name;
        QList<PageOperation> operations;
    };
    bool run(const QString& jobName, const PageDrawing& draw) override;

    QList<Job> jobs;
    bool succeed = true;  // what run() reports for a job that was drawn
};

}  // namespace qelvaro
