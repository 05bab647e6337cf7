#pragma once

#include "JobFollower.h"
#include "Printout.h"

#include <QMarginsF>
#include <QString>

#include <deque>
#include <map>
#include <memory>
#include <utility>

class QObject;

namespace qelvaro {

class MessageSink;
class PrintQueue;
class PrintThread;

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
// nowhere. The printout is drawn once, at the command, and the command returns: finding the
// default printer and its paper, handing the job to the print queue and following it to its end
// all run on a print thread of their own, so a print service that is slow or silent costs the
// window nothing. A print is told as failed, with the offer to save that printout as a PDF file,
// only when it cannot come out: there is no printer, the service refused or failed it, it never
// reached the service (the service fell silent, or stayed silent while it waited its turn), or
// its job was cancelled because it does not hold its whole document. A service that answers is
// waited for, however slowly; once the service holds its whole document (it said so, or the job
// shows it), a print's fate is its job's.
// Such messages come one at a time, whatever became of the window that printed.
class PrinterTarget : public PrintTarget {
public:
    // On the system's print queues.
    PrinterTarget(MessageSink& messages, FileDialog& fileDialog);
    PrinterTarget(MessageSink& messages, FileDialog& fileDialog, std::unique_ptr<PrintQueue> queue,
                  JobFollowTiming timing = JobFollowTiming());
    // Waits for prints still on their way to the queue, all together no longer than the timing's
    // end time; then what the service is doing for them is broken off.
    ~PrinterTarget() override;
    // True when the printout went to be printed (or, offered instead, into a PDF file); how the
    // print then goes is told when it is known.
    bool run(const QString& jobName, const PageDrawing& draw) override;

    // Prints on their way to the queue or in it that have not ended yet.
    int followedJobs() const { return int(m_jobs.size()); }
    // At program end: prints still being handed over go on to the queue (until this target goes),
    // jobs waiting stay in it, and nothing more is told.
    void stopFollowing();

protected:
    enum class Outcome { NoPrinter, Failed, Sent };
    // Sends the printout on its way to the default printer.
    virtual Outcome printOnDefaultPrinter(const Printout& printout);

private:
    friend class PrintWorker;
    friend class PrintThread;
    enum class Report { NoPrinter, Failed, Completed };
    void report(int ticket, Report what);
    // Tells of a printout that did not come out once no other such message is open.
    void tellLater(const QString& question, const Printout& printout);
    // Asks the question; on 是, lets the user pick a file and writes the printout there.
    bool offerPdf(const QString& question, const Printout& printout);

    MessageSink& m_messages;
    FileDialog& m_fileDialog;
    std::unique_ptr<QObject> m_windowSide;  // reports arrive on the window thread here
    std::unique_ptr<PrintThread> m_thread;
    std::map<int, Printout> m_jobs;  // by ticket
    int m_lastTicket = 0;
    std::deque<std::pair<QString, Printout>> m_untold;
    bool m_telling = false;
};

inline const QString kNoPrinterQuestion = QStringLiteral("没有可用的打印机，是否保存为PDF文件？");
inline const QString kPrintFailedQuestion = QStringLiteral("打印没有成功，是否保存为PDF文件？");
inline const QString kPdfFailedMessage = QStringLiteral("PDF文件保存失败。");
inline const QString kNothingToPrintMessage = QStringLiteral("没有可打印的内容。");

}  // namespace qelvaro
