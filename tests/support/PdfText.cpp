#include "PdfText.h"

#include <QPointF>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace qelvaro::test {

QByteArray runTool(const QString& tool, const QStringList& arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        qFatal("%s is not installed (scripts/setup installs poppler-utils)", qPrintable(tool));
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(tool), process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

PdfPage readPdfPage(const QString& path, int page)
{
    const QString number = QString::number(page);
    QXmlStreamReader xml(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox-layout"), QStringLiteral("-f"), number,
                                                               QStringLiteral("-l"), number, path, QStringLiteral("-")}));
    PdfPage result;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        const auto value = [&](const char* name) { return a.value(QLatin1String(name)).toDouble(); };
        if (xml.name() == u"page") {
            result.size = {value("width"), value("height")};
        } else if (xml.name() == u"word") {
            const QRectF box(QPointF(value("xMin"), value("yMin")), QPointF(value("xMax"), value("yMax")));
            result.words.append({xml.readElementText(), box});
        }
    }
    return result;
}

}  // namespace qelvaro::test
