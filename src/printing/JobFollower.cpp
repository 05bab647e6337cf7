#include "JobFollower.h"

#include <QTimer>

#include <algorithm>

namespace qelvaro {

JobFollower::JobFollower(PrintQueue& queue, EndHandler onEnded, Timing timing, QObject* parent)
    : QObject(parent), m_queue(queue), m_onEnded(std::move(onEnded)), m_timing(timing), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &JobFollower::checkDueJobs);
}

void JobFollower::follow(int jobId, const QString& printer, int ticket)
{
    Job job;
    job.id = jobId;
    job.printer = printer;
    job.ticket = ticket;
    add(std::move(job));
}

void JobFollower::cancel(int jobId)
{
    if (m_queue.cancel(jobId))
        return;
    Job job;
    job.id = jobId;
    job.cancelling = true;
    add(std::move(job));
}

void JobFollower::add(Job job)
{
    job.waitMilliseconds = m_timing.firstMilliseconds;
    job.due = QDeadlineTimer(job.waitMilliseconds);
    m_jobs.insert_or_assign(job.id, std::move(job));
    schedule();
}

void JobFollower::stop()
{
    m_timer->stop();
    for (const auto& [id, job] : m_jobs)
        if (job.cancelling)
            m_queue.cancel(id);
    m_jobs.clear();
}

void JobFollower::checkDueJobs()
{
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        Job& job = it->second;
        if (!job.due.hasExpired()) {
            ++it;
            continue;
        }
        const PrintQueue::JobState state = job.cancelling
                                               ? (m_queue.cancel(job.id) ? PrintQueue::JobState::Completed
                                                                         : PrintQueue::JobState::Waiting)
                                               : m_queue.jobState(job.id, job.printer);
        if (state == PrintQueue::JobState::Waiting) {
            job.waitMilliseconds = std::min(job.waitMilliseconds * 2, m_timing.longestMilliseconds);
            job.due = QDeadlineTimer(job.waitMilliseconds);
            ++it;
            continue;
        }
        const Job ended = std::move(job);
        it = m_jobs.erase(it);
        if (!ended.cancelling && m_onEnded)
            m_onEnded(ended.ticket, state);
    }
    schedule();
}

void JobFollower::schedule()
{
    if (m_jobs.empty()) {
        m_timer->stop();
        return;
    }
    qint64 soonest = m_timing.longestMilliseconds;
    for (const auto& [id, job] : m_jobs)
        soonest = std::min(soonest, job.due.remainingTime());
    m_timer->start(int(std::max<qint64>(soonest, 0)));
}

}  // namespace qelvaro
