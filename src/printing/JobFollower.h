#pragma once

#include "PrintQueue.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>

class QTimer;

namespace qelvaro {

// How often a job is asked about, and how long prints on their way may still take at program end.
struct JobFollowTiming {
    int firstMilliseconds = 1000;     // the first question, after the job was handed over
    int longestMilliseconds = 10000;  // each wait doubles up to this
    // At program end, prints not yet in the queue by then are given up: what the service is
    // doing for them is broken off.
    int endMilliseconds = 5000;
    // A job whose document went without an answer is taken to lack it only when the service lists
    // it so twice, this far apart: by the second answer it has read whatever was still on its way.
    int settleMilliseconds = 2000;
};

// Follows each print job the program handed to the queue, by its id, until the job ends, without
// ever waiting for one: a timer asks the queue about the jobs that are due, each less often the
// longer it waits (a paused printer may hold a job for hours, a silent service is asked again
// later, and while it is silent the other jobs due are not asked). A job's end is handed on with
// the ticket it was followed under. A job that must not print is withdrawn: cancelled, asked
// again in the same way until the service answers, and its end handed on once it is sure. A job
// whose document went without an answer is first asked whether it holds it: followed if it does,
// withdrawn once it surely does not.
// It calls the queue, which may wait for the print service: it lives on the print thread.
class JobFollower : public QObject {
public:
    using Timing = JobFollowTiming;
    // The end is Completed or Failed.
    using EndHandler = std::function<void(int ticket, PrintQueue::JobState end)>;

    JobFollower(PrintQueue& queue, EndHandler onEnded, Timing timing = Timing(), QObject* parent = nullptr);

    void follow(int jobId, const QString& printer, int ticket);
    // Follows a job whose document was sent to the last piece but not answered: it is withdrawn
    // once the service lists it without its document in two answers the settle time apart.
    void confirm(int jobId, const QString& printer, int ticket);
    // Cancels the job; its end is Failed once it is cancelled, or what became of it when the
    // service would not cancel it (it was printing, or had printed).
    void withdraw(int jobId, const QString& printer, int ticket);
    // Lets every job go: they stay in the queue and print when the printer is back; nothing is
    // asked any more, and nothing more is handed on. Jobs to withdraw are tried once more, then
    // and when they come later. A job not yet confirmed is let go as it is: it may hold its
    // document.
    void stop();

private:
    enum class Stage {
        Following,   // it has its document
        Confirming,  // whether it has its document is not known yet
        Cancelling,  // it must not print
    };
    struct Job {
        int id = 0;
        QString printer;
        int ticket = 0;
        Stage stage = Stage::Following;
        int waitMilliseconds = 0;
        QDeadlineTimer due;
        std::optional<QDeadlineTimer> settled;  // set by the first answer that it lacks its document
    };

    void add(int jobId, const QString& printer, int ticket, Stage stage, int firstMilliseconds);
    void checkDueJobs();
    // Where the job stands, asking the queue; Unanswered when the service is silent.
    PrintQueue::JobState ask(Job& job);
    void schedule();

    PrintQueue& m_queue;
    EndHandler m_onEnded;
    Timing m_timing;
    QTimer* m_timer;
    std::map<int, Job> m_jobs;  // by job id
    bool m_stopped = false;
};

}  // namespace qelvaro
