#pragma once

#include "PrintQueue.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <map>

class QTimer;

namespace qelvaro {

// How often a job is asked about, and how long a hand-over may take.
struct JobFollowTiming {
    int firstMilliseconds = 1000;     // the first question, after the job was handed over
    int longestMilliseconds = 10000;  // each wait doubles up to this
    // A print not handed to the queue by then is given up and told as failed: the service is
    // silent or the hand-over is stuck behind questions it does not answer.
    int handOverMilliseconds = 8000;
};

// Follows each print job the program handed to the queue, by its id, until the job ends, without
// ever waiting for one: a timer asks the queue about the jobs that are due, each less often the
// longer it waits (a paused printer may hold a job for hours, a silent service is asked again
// later). A job's end is handed on with the ticket it was followed under. A job the program gave
// up is cancelled instead, asked again in the same way until the queue answers.
// It calls the queue, which may wait for the print service: it lives on the print thread.
class JobFollower : public QObject {
public:
    using Timing = JobFollowTiming;
    using EndHandler = std::function<void(int ticket, PrintQueue::JobState end)>;

    JobFollower(PrintQueue& queue, EndHandler onEnded, Timing timing = Timing(), QObject* parent = nullptr);

    void follow(int jobId, const QString& printer, int ticket);
    void cancel(int jobId);
    // Lets every job go: they stay in the queue and print when the printer is back; nothing is
    // asked any more. Jobs to cancel are tried once more.
    void stop();

private:
    struct Job {
        int id = 0;
        QString printer;
        int ticket = 0;
        bool cancelling = false;
        int waitMilliseconds = 0;
        QDeadlineTimer due;
    };

    void add(Job job);
    void checkDueJobs();
    void schedule();

    PrintQueue& m_queue;
    EndHandler m_onEnded;
    Timing m_timing;
    QTimer* m_timer;
    std::map<int, Job> m_jobs;  // by job id
};

}  // namespace qelvaro
