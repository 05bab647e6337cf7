#pragma once

// Reading a printout back: what pdftotext finds in a PDF, and where.

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace qelvaro::test {

// Runs a poppler tool (pdftotext, pdffonts, pdftoppm) and returns what it printed; a missing or
// failing tool stops the test program, since the check it serves cannot be made.
QByteArray runTool(const QString& tool, const QStringList& arguments);

struct PdfWord {
    QString text;
    QRectF box;  // points from the top-left corner of the sheet
};

struct PdfPage {
    QSizeF size;  // points
    QList<PdfWord> words;
};

// The words of one page (counted from 1) with their boxes, as pdftotext -bbox-layout reads them.
PdfPage readPdfPage(const QString& path, int page = 1);

}  // namespace qelvaro::test
