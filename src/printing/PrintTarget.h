#pragma once

#include "JobFollower.h"

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
// nowhere. The job is handed to the print queue and the command returns; the job is then followed
// until it ends, whatever becomes of the window that printed. When there is no printer, or the
// queue refuses the job at once or it ends later without completing, the user is asked whether to
// save that printout as a PDF file instead; nothing the queue did not take is reported as sent.
class PrinterTarget : public PrintTarget {
public:
    // On the system's print queues.
    PrinterTarget(MessageSink& messages, FileDialog& fileDialog);
    PrinterTarget(MessageSink& messages, FileDialog& fileDialog, std::unique_ptr<PrintQueue> queue,
                  JobFollowTiming timing = JobFollowTiming());
    ~PrinterTarget() override;
    // True when the job reached the queue (or, offered instead, a PDF file).
    bool run(const QString& jobName, const PageDrawing& draw) override;

    // Jobs handed to the queue that have not ended yet.
    int followedJobs() const { return m_follower.followedJobs(); }
    // At program end: jobs still waiting stay in the queue and nothing more is asked.
    void stopFollowing() { m_follower.stop(); }

protected:
    enum class Outcome { NoPrinter, Failed, Sent };
    // Hands the job to the default printer of the print queue and follows it.
    virtual Outcome printOnDefaultPrinter(const QString& jobName, const PageDrawing& draw);

private:
    // Asks the question; on 是, lets the user pick a file and has `save` write it there.
    bool offerPdf(const QString& question, const QString& jobName, const std::function<bool(const QString&)>& save);

    MessageSink& m_messages;
    FileDialog& m_fileDialog;
    std::unique_ptr<PrintQueue> m_queue;
    JobFollower m_follower;
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
