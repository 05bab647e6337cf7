#pragma once

#include "PageSink.h"

#include <QList>
#include <QPageLayout>
#include <QString>

#include <functional>

namespace qelvaro {

class Page;

// What a printout draws on a fresh page; the target ends the job if the drawing does not.
using PageDrawing = std::function<void(Page&)>;

// A printout drawn once, at the moment of the command, as the operations its page sent, measured
// as they will be on paper. It holds only values, so it can be kept with a job and put on any
// paper later, on any thread: the values the window showed then, whatever it shows now.
struct Printout {
    QString jobName;
    QList<PageOperation> operations;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    bool visible = false;  // anything to see on it
};

Printout drawPrintout(const QString& jobName, const PageDrawing& draw);

// Sends the printout's operations to a sink; true when the sink took the whole job.
bool replay(const Printout& printout, PageSink& sink);

// A layout whose printable area starts at the given minimum margins (millimetres).
QPageLayout printableLayout(const QPageSize& size, QPageLayout::Orientation orientation, const QMarginsF& minimum);

// Writes a PDF file at `path` on the layout, readable by its owner only. It is written under a
// temporary name beside its place and renamed over it once complete, so a failure leaves no torn
// file and an existing file is only ever replaced by a complete one. False when nothing visible
// was drawn (no file is written then) or the file could not be written.
bool writePdf(const QString& path, const QPageLayout& layout, const QString& title,
              const std::function<bool(PageSink& sink, bool& drewSomething)>& draw);
bool writePrintoutPdf(const Printout& printout, const QString& path, const QPageLayout& layout);

}  // namespace qelvaro
