#pragma once

#include <QMarginsF>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace qelvaro {

class MessageSink;
class Page;
class PrintQueue;

// What a printout draws on a fresh page; the target ends the job if the drawing does not.
using PageDrawing = std::function<void(Page&)>;

// Where a print job goes: the default printer in the program, a PDF file or a recorder in tests.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // True only when the job reached a printer or a file.
    virtual bool run(const QString& jobName, const PageDrawing& draw) = 0;
};

// Asks the user where to save a file; an empty path when cancelled. Tests answer instead.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    virtual QString saveFileName(const QString& caption, const QString& suggestedPath, const QString& filter) = 0;
};

// Prints straight into a PDF file of A4 paper. A PDF has no hardware margins: the printable area
// is the whole sheet unless margins (millimetres) are given, which then act as the minimum margins
// of a printer. The file appears only once the job is complete; a job that draws nothing visible
// writes no file and fails.
class PdfTarget : public PrintTarget {
public:
    explicit PdfTarget(QString path, QMarginsF marginsMillimetres = {});
    bool run(const QString& jobName, const PageDrawing& draw) override;

private:
    QString m_path;
    QMarginsF m_margins;
};

// The default printer, without a dialog. A printout with nothing to print is told and goes
// nowhere. When there is no printer, or the print queue refuses or fails the job, the user is
// asked whether to save the printout as a PDF file instead; nothing is ever reported as printed
// that the queue did not take.
class PrinterTarget : public PrintTarget {
public:
    // On the system's print queues.
    PrinterTarget(MessageSink& messages, FileDialog& fileDialog);
    PrinterTarget(MessageSink& messages, FileDialog& fileDialog, std::unique_ptr<PrintQueue> queue);
    ~PrinterTarget() override;
    bool run(const QString& jobName, const PageDrawing& draw) override;

protected:
    enum class Outcome { NoPrinter, Failed, Printed };
    // Prints the job on the default printer of the print queue.
    virtual Outcome printOnDefaultPrinter(const QString& jobName, const PageDrawing& draw);

private:
    bool offerPdf(const QString& question, const QString& jobName, const PageDrawing& draw);

    MessageSink& m_messages;
    FileDialog& m_fileDialog;
    std::unique_ptr<PrintQueue> m_queue;
};

// Runs a job on a set-up printer through a fresh page; true when it reached the device. Every
// position is measured from the corner of the printable area: the page margins are set to the
// printer's minimum. *drewSomething tells whether anything visible was drawn.
bool printJob(QPrinter& printer, const PageDrawing& draw, bool* drewSomething = nullptr);

inline const QString kNoPrinterQuestion = QStringLiteral("没有可用的打印机，是否保存为PDF文件？");
inline const QString kPrintFailedQuestion = QStringLiteral("打印没有成功，是否保存为PDF文件？");
inline const QString kPdfFailedMessage = QStringLiteral("PDF文件保存失败。");
inline const QString kNothingToPrintMessage = QStringLiteral("没有可打印的内容。");

}  // namespace qelvaro
