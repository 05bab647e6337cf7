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
    // Never early: a job is taken to lack its document only once the settle time has passed.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &JobFollower::checkDueJobs);
}

void JobFollower::follow(int jobId, const QString& printer, int ticket)
{
    add(jobId, printer, ticket, Stage::Following, m_timing.firstMilliseconds);
}

void JobFollower::confirm(int jobId, const QString& printer, int ticket)
{
    add(jobId, printer, ticket, Stage::Confirming, m_timing.firstMilliseconds);
}

void JobFollower::withdraw(int jobId, const QString& printer, int ticket)
{
    if (m_stopped) {
        m_queue.cancel(jobId);
        return;
    }
    add(jobId, printer, ticket, Stage::Cancelling, 0);
}

void JobFollower::add(int jobId, const QString& printer, int ticket, Stage stage, int firstMilliseconds)
{
    if (m_stopped)
        return;
    Job job{jobId, printer, ticket, stage, std::max(firstMilliseconds, m_timing.firstMilliseconds),
            QDeadlineTimer(firstMilliseconds), std::nullopt};
    m_jobs.insert_or_assign(jobId, std::move(job));
    schedule();
}

void JobFollower::stop()
{
    m_stopped = true;
    m_timer->stop();
    for (const auto& [id, job] : m_jobs)
        if (job.stage == Stage::Cancelling)
            m_queue.cancel(id);
    m_jobs.clear();
}

JobState JobFollower::ask(Job& job)
{
    switch (job.stage) {
    case Stage::Following:
        break;
    case Stage::Confirming: {
        const JobState state = m_queue.jobState(job.id, job.printer);
        if (state != JobState::Incoming) {
            if (state == JobState::Waiting)
                job.stage = Stage::Following;
            return state;
        }
        // The service may still be reading what the closed connection left on its way.
        if (!job.settled) {
            job.settled = QDeadlineTimer(m_timing.settleMilliseconds);
            return JobState::Waiting;
        }
        if (!job.settled->hasExpired())
            return JobState::Waiting;
        job.stage = Stage::Cancelling;
        return ask(job);
    }
    case Stage::Cancelling:
        switch (m_queue.cancel(job.id)) {
        case Reply::Given:
            return JobState::Failed;
        case Reply::Silent:
            return JobState::Unanswered;
        case Reply::Refused:
            break;
        }
        // Not cancelled: printing or ended already. What it came to decides, as for any job.
        job.stage = Stage::Following;
        break;
    }
    const JobState state = m_queue.jobState(job.id, job.printer);
    // Once its document was taken, a job listed without it is one the service has not caught up with.
    return state == JobState::Incoming ? JobState::Waiting : state;
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
            qint64 wait = job.waitMilliseconds;
            // One that may lack its document is asked again as soon as that can be decided.
            if (job.stage == Stage::Confirming && job.settled)
                wait = std::min(wait, job.settled->remainingTime());
            job.due = QDeadlineTimer(wait);
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
