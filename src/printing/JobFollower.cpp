#include "JobFollower.h"

#include "PrintQueue.h"

#include <QTemporaryFile>

#include <algorithm>

namespace qelvaro {

JobFollower::JobFollower(PrintQueue& queue, FailureHandler onFailed, Timing timing)
    : m_queue(queue), m_onFailed(std::move(onFailed)), m_timing(timing)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &JobFollower::checkDueJobs);
}

JobFollower::~JobFollower() = default;

void JobFollower::follow(int jobId, const QString& jobName, std::unique_ptr<QTemporaryFile> printout)
{
    Job job;
    job.id = jobId;
    job.name = jobName;
    job.printout = std::move(printout);
    job.waitMilliseconds = m_timing.firstMilliseconds;
    job.due = QDeadlineTimer(job.waitMilliseconds);
    m_jobs.insert_or_assign(jobId, std::move(job));
    schedule();
}

void JobFollower::stop()
{
    m_timer.stop();
    m_jobs.clear();
    m_failed.clear();
}

void JobFollower::checkDueJobs()
{
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        Job& job = it->second;
        if (!job.due.hasExpired()) {
            ++it;
            continue;
        }
        switch (m_queue.jobState(job.id)) {
        case PrintQueue::JobState::Waiting:
            job.waitMilliseconds = std::min(job.waitMilliseconds * 2, m_timing.longestMilliseconds);
            job.due = QDeadlineTimer(job.waitMilliseconds);
            ++it;
            break;
        case PrintQueue::JobState::Completed:
            it = m_jobs.erase(it);
            break;
        case PrintQueue::JobState::Failed:
            m_failed.push_back(std::move(job));
            it = m_jobs.erase(it);
            break;
        }
    }
    schedule();
    handOnFailures();
}

void JobFollower::schedule()
{
    if (m_jobs.empty()) {
        m_timer.stop();
        return;
    }
    qint64 soonest = m_timing.longestMilliseconds;
    for (const auto& [id, job] : m_jobs)
        soonest = std::min(soonest, job.due.remainingTime());
    m_timer.start(int(std::max<qint64>(soonest, 0)));
}

void JobFollower::handOnFailures()
{
    // The handler asks the doctor in a modal box, whose event loop runs this timer again: a job
    // found failed meanwhile waits its turn instead of opening a second box over the first.
    if (m_handingOn)
        return;
    m_handingOn = true;
    while (!m_failed.empty()) {
        const Job job = std::move(m_failed.front());
        m_failed.pop_front();
        if (m_onFailed)
            m_onFailed(job.name, job.printout ? job.printout->fileName() : QString());
    }
    m_handingOn = false;
}

}  // namespace qelvaro
