#pragma once

#include "PrintQueue.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QWaitCondition>

#include <functional>
#include <utility>

namespace qelvaro::test {

// A print queue driven by the test: a job it takes waits until the test ends it. It keeps a copy
// of every PDF it is given, since the printer target removes its file once the job is handed over.
// The printer target calls it on its print thread: what the test sets and reads goes through the
// state's lock. A slow service is played by calls that take their time, a silent one by calls
// that answer nothing (after a while, if the test says so), and a call can be held until the test
// or the program's end lets it go.
class FakePrintQueue : public PrintQueue {
public:
    struct State {
        mutable QMutex mutex;
        QString printer = QStringLiteral("诊室打印机");  // the default printer; empty: none
        bool printerGone = false;              // the printer has been removed since
        QMarginsF minimumMargins;
        bool refuse = false;                   // the queue makes no job
        bool silent = false;                   // no call is answered
        int silentMilliseconds = 0;            // how long a call waits before it answers nothing
        int delayMilliseconds = 0;             // how long every call takes before it answers
        bool silentAfterDocument = false;      // falls silent once a document is sent whole
        bool cutDocument = false;              // falls silent while a document is on its way
        bool answerDocument = true;            // false: a document sent whole has no answer
        int incomingAnswers = 0;               // with no answer: how many answers list its job
                                               // without it before it turns up (-1: it never does)
        bool refuseCancel = false;             // the job is printing: it cannot be cancelled
        bool silentAtCancel = false;           // falls silent when a cancel is first tried
        bool holdCreateJob = false;            // creating a job waits until let go
        bool interrupted = false;              // the program is ending
        int created = 0;                       // jobs made; job n has the id n
        QStringList jobs;                      // names of the jobs whose document was taken
        QStringList given;                     // the paths the documents were given as
        QList<QByteArray> pdfs;                // what they were given
        QList<int> documented;                 // ids of the jobs that hold their document whole
        QMap<int, int> incoming;               // by id: answers left that list the job without it
        QList<QPageLayout::Orientation> asked;  // paper asked for, by orientation
        QMap<int, JobState> states;            // by id; a job missing here is no longer listed
        QList<int> cancelled;                  // ids cancelled
        int questions = 0;                     // how often a job's state was asked
        QList<qint64> askedAt;                 // when, in milliseconds of the queue's life
        int calls = 0;                         // calls of any kind
        int held = 0;                          // calls waiting to be let go
        QWaitCondition wake;

        void end(int id, JobState state)
        {
            const QMutexLocker lock(&mutex);
            states[id] = state;
        }
        void set(const std::function<void(State&)>& change)
        {
            const QMutexLocker lock(&mutex);
            change(*this);
            wake.wakeAll();
        }
        template <typename T>
        T read(const std::function<T(const State&)>& look) const
        {
            const QMutexLocker lock(&mutex);
            return look(*this);
        }
        int jobCount() const { return read<int>([](const State& s) { return int(s.jobs.size()); }); }
        int createdCount() const { return read<int>([](const State& s) { return s.created; }); }
        int questionCount() const { return read<int>([](const State& s) { return s.questions; }); }
        int callCount() const { return read<int>([](const State& s) { return s.calls; }); }
        int heldCount() const { return read<int>([](const State& s) { return s.held; }); }
        QList<int> cancels() const { return read<QList<int>>([](const State& s) { return s.cancelled; }); }
        QList<int> documents() const { return read<QList<int>>([](const State& s) { return s.documented; }); }
        void release()
        {
            set([](State& s) { s.holdCreateJob = false; });
        }
    };
    explicit FakePrintQueue(State& state) : m_state(state) { m_life.start(); }

    Reply defaultPrinter(QString& name) override
    {
        const QMutexLocker lock(&m_state.mutex);
        if (!answers())
            return Reply::Silent;
        name = m_state.printer;
        return Reply::Given;
    }
    Reply paper(const QString&, QPageLayout::Orientation orientation, Paper& paper) override
    {
        const QMutexLocker lock(&m_state.mutex);
        if (!answers())
            return Reply::Silent;
        m_state.asked << orientation;
        paper = Paper{QPageSize(QPageSize::A4), m_state.minimumMargins, QStringLiteral("iso_a4_210x297mm")};
        return Reply::Given;
    }
    Reply createJob(const QString& printer, const QString& jobName, const Paper&, int& jobId) override
    {
        const QMutexLocker lock(&m_state.mutex);
        if (m_state.holdCreateJob) {
            ++m_state.held;
            while (m_state.holdCreateJob && !m_state.interrupted)
                m_state.wake.wait(&m_state.mutex);
            --m_state.held;
        }
        if (!answers())
            return Reply::Silent;
        if (m_state.refuse || printer != m_state.printer)
            return Reply::Refused;
        jobId = ++m_state.created;
        m_names[jobId] = jobName;
        m_state.states[jobId] = JobState::Waiting;
        return Reply::Given;
    }
    Delivery sendDocument(int jobId, const QString&, const QString& pdfPath, const std::function<bool()>& wanted) override
    {
        const QMutexLocker lock(&m_state.mutex);
        if (!answers())
            return Delivery::CutShort;
        if (!wanted())
            return Delivery::CutShort;
        if (m_state.cutDocument) {
            m_state.silent = true;
            return Delivery::CutShort;
        }
        QFile file(pdfPath);
        if (!file.open(QIODevice::ReadOnly))
            return Delivery::CutShort;
        m_state.jobs << m_names.value(jobId);
        m_state.given << pdfPath;
        m_state.pdfs << file.readAll();
        if (!m_state.answerDocument && m_state.incomingAnswers != 0)
            m_state.incoming[jobId] = m_state.incomingAnswers;
        else
            m_state.documented << jobId;
        if (m_state.silentAfterDocument)
            m_state.silent = true;
        return m_state.answerDocument && !m_state.silentAfterDocument ? Delivery::Accepted : Delivery::Unanswered;
    }
    Reply cancel(int jobId) override
    {
        const QMutexLocker lock(&m_state.mutex);
        if (std::exchange(m_state.silentAtCancel, false))
            m_state.silent = true;
        if (!answers())
            return Reply::Silent;
        if (m_state.refuseCancel || !m_state.states.contains(jobId))
            return Reply::Refused;
        m_state.cancelled << jobId;
        m_state.states[jobId] = JobState::Failed;
        return Reply::Given;
    }
    JobState jobState(int id, const QString&) override
    {
        const QMutexLocker lock(&m_state.mutex);
        ++m_state.questions;
        m_state.askedAt << m_life.elapsed();
        if (!answers())
            return JobState::Unanswered;
        if (m_state.incoming.contains(id) && m_state.states.value(id) == JobState::Waiting) {
            int& left = m_state.incoming[id];
            if (left != 0) {
                if (left > 0)
                    --left;
                return JobState::Incoming;
            }
            m_state.incoming.remove(id);
            m_state.documented << id;
        }
        if (m_state.states.contains(id))
            return m_state.states.value(id);
        // No longer listed: done, unless its printer went.
        return m_state.printerGone ? JobState::Failed : JobState::Completed;
    }
    void interrupt() override
    {
        m_state.set([](State& s) { s.interrupted = true; });
    }

private:
    // Under the lock: takes the call's time; false when the service says nothing. The program's end
    // cuts a wait short.
    bool answers()
    {
        ++m_state.calls;
        const int wait = m_state.silent ? m_state.silentMilliseconds : m_state.delayMilliseconds;
        QDeadlineTimer deadline(wait);
        while (!m_state.interrupted && !deadline.hasExpired())
            m_state.wake.wait(&m_state.mutex, deadline);
        return !m_state.silent;
    }

    State& m_state;
    QElapsedTimer m_life;
    QMap<int, QString> m_names;  // by job id, touched under the state's lock
};

}  // namespace qelvaro::test
