#include "JobFollower.h"

#include <QTimer>

#include <algorithm>

namespace qelvaro {

using JobState = PrintQueue::JobState;
using Reply = PrintQueue::Reply;

JobFollower::JobFollower(PrintQueue& queue, EndHandler onEnded, Timing timing, QObject* parent)
    : QObject(parent), m_queue(queue), m_onEnded(std::move(onEnded)), m_timing(timing), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &JobFollower::checkDueJobs);
}

void JobFollower::follow(int jobId, const QString& printer, int ticket)
{
    if (m_stopped)
        return;
    add(Job{jobId, printer, ticket, false, 0, {}}, m_timing.firstMilliseconds);
}

void JobFollower::withdraw(int jobId, const QString& printer, int ticket)
{
    if (m_stopped) {
        m_queue.cancel(jobId);
        return;
    }
    add(Job{jobId, printer, ticket, true, 0, {}}, 0);
}

void JobFollower::add(Job job, int firstMilliseconds)
{
    job.waitMilliseconds = std::max(firstMilliseconds, m_timing.firstMilliseconds);
    job.due = QDeadlineTimer(firstMilliseconds);
    m_jobs.insert_or_assign(job.id, std::move(job));
    schedule();
}

void JobFollower::stop()
{
    m_stopped = true;
    m_timer->stop();
    for (const auto& [id, job] : m_jobs)
        if (job.cancelling)
            m_queue.cancel(id);
    m_jobs.clear();
}

JobState JobFollower::ask(Job& job)
{
    if (!job.cancelling)
        return m_queue.jobState(job.id, job.printer);
    switch (m_queue.cancel(job.id)) {
    case Reply::Given:
        return JobState::Failed;
    case Reply::Silent:
        return JobState::Unanswered;
    case Reply::Refused:
        break;
    }
    // Not cancelled: printing or ended already. What it came to decides, as for any job.
    job.cancelling = false;
    return m_queue.jobState(job.id, job.printer);
}

void JobFollower::checkDueJobs()
{
    bool silent = false;  // once the service left a question unanswered, the others wait their next turn
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        Job& job = it->second;
        if (!job.due.hasExpired()) {
            ++it;
            continue;
        }
        const JobState state = silent ? JobState::Unanswered : ask(job);
        if (state == JobState::Waiting || state == JobState::Unanswered) {
            silent = silent || state == JobState::Unanswered;
            job.waitMilliseconds = std::min(job.waitMilliseconds * 2, m_timing.longestMilliseconds);
            job.due = QDeadlineTimer(job.waitMilliseconds);
            ++it;
            continue;
        }
        const Job ended = std::move(job);
        it = m_jobs.erase(it);
        if (m_onEnded)
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
