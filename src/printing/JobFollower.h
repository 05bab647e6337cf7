#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <memory>

class QTemporaryFile;

namespace qelvaro {

class PrintQueue;

// How often a job is asked about.
struct JobFollowTiming {
    int firstMilliseconds = 1000;     // the first question, after the job was handed over
    int longestMilliseconds = 10000;  // each wait doubles up to this
};

// Follows each print job the program handed to the queue, by its id, until the job ends, without
// ever waiting for one: a timer asks the queue about the jobs that are due, each less often the
// longer it waits (a paused printer may hold a job for hours). A completed job goes quietly; a job
// that ends any other way is handed to the failure handler with the PDF of its own printout, kept
// until then. Failures are handed on one at a time, in the order they were found.
class JobFollower : public QObject {
public:
    using Timing = JobFollowTiming;
    // The printout's file exists while the handler runs and goes afterwards.
    using FailureHandler = std::function<void(const QString& jobName, const QString& printoutPdf)>;

    JobFollower(PrintQueue& queue, FailureHandler onFailed, Timing timing = Timing());
    ~JobFollower() override;

    void follow(int jobId, const QString& jobName, std::unique_ptr<QTemporaryFile> printout);
    int followedJobs() const { return int(m_jobs.size() + m_failed.size()); }
    // Lets every job go: they stay in the queue and print when the printer is back; nothing is
    // asked any more, and the kept printouts are removed.
    void stop();

private:
    struct Job {
        int id = 0;
        QString name;
        std::unique_ptr<QTemporaryFile> printout;
        int waitMilliseconds = 0;
        QDeadlineTimer due;
    };

    void checkDueJobs();
    void schedule();
    void handOnFailures();

    PrintQueue& m_queue;
    FailureHandler m_onFailed;
    Timing m_timing;
    QTimer m_timer;
    std::map<int, Job> m_jobs;  // by job id
    std::deque<Job> m_failed;   // found failed, not yet handed on
    bool m_handingOn = false;
};

}  // namespace qelvaro
