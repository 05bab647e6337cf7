#pragma once

#include "PrintQueue.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QStringList>
#include <QWaitCondition>

#include <functional>

namespace qelvaro::test {

// A print queue driven by the test: a job it takes waits until the test ends it. It keeps a copy
// of every PDF it is given, since the printer target removes its file once the job is handed over.
// The printer target calls it on its print thread: what the test sets and reads goes through the
// state's lock, and a silent service is played by holding the calls until the test lets them go.
class FakePrintQueue : public PrintQueue {
public:
    struct State {
        mutable QMutex mutex;
        QString printer = QStringLiteral("诊室打印机");  // the default printer; empty: none
        bool printerGone = false;              // the printer has been removed since
        QMarginsF minimumMargins;
        bool refuse = false;                   // the queue takes no job
        bool silent = false;                   // no call is answered
        bool holdSubmit = false;               // a hand-over waits until released
        QStringList jobs;                      // names of the jobs taken; job n has the id n + 1
        QStringList given;                     // the paths they were given as
        QList<QByteArray> pdfs;                // what they were given
        QList<QPageLayout::Orientation> asked;  // paper asked for, by orientation
        QMap<int, JobState> states;            // by id; a job missing here is no longer listed
        QList<int> cancelled;                  // ids cancelled
        int questions = 0;                     // how often a job's state was asked
        int held = 0;                          // hand-overs waiting to be released
        QWaitCondition released;

        void end(int id, JobState state)
        {
            const QMutexLocker lock(&mutex);
            states[id] = state;
        }
        void set(const std::function<void(State&)>& change)
        {
            const QMutexLocker lock(&mutex);
            change(*this);
        }
        template <typename T>
        T read(const std::function<T(const State&)>& look) const
        {
            const QMutexLocker lock(&mutex);
            return look(*this);
        }
        int jobCount() const { return read<int>([](const State& s) { return int(s.jobs.size()); }); }
        int questionCount() const { return read<int>([](const State& s) { return s.questions; }); }
        int heldCount() const { return read<int>([](const State& s) { return s.held; }); }
        QList<int> cancels() const { return read<QList<int>>([](const State& s) { return s.cancelled; }); }
        void release()
        {
            const QMutexLocker lock(&mutex);
            holdSubmit = false;
            released.wakeAll();
        }
    };
    explicit FakePrintQueue(State& state) : m_state(state) {}

    std::optional<QString> defaultPrinter() override
    {
        const QMutexLocker lock(&m_state.mutex);
        if (m_state.silent)
            return std::nullopt;
        return m_state.printer;
    }
    std::optional<Paper> paper(const QString&, QPageLayout::Orientation orientation) override
    {
        const QMutexLocker lock(&m_state.mutex);
        if (m_state.silent)
            return std::nullopt;
        m_state.asked << orientation;
        return Paper{QPageSize(QPageSize::A4), m_state.minimumMargins, QStringLiteral("iso_a4_210x297mm")};
    }
    int submit(const QString& printer, const QString& jobName, const QString& pdfPath, const Paper&) override
    {
        QMutexLocker lock(&m_state.mutex);
        ++m_state.held;
        while (m_state.holdSubmit)
            m_state.released.wait(&m_state.mutex);
        --m_state.held;
        if (m_state.silent || m_state.refuse || printer != m_state.printer)
            return 0;
        QFile file(pdfPath);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        m_state.jobs << jobName;
        m_state.given << pdfPath;
        m_state.pdfs << file.readAll();
        const int id = int(m_state.jobs.size());
        m_state.states[id] = JobState::Waiting;
        return id;
    }
    bool cancel(int jobId) override
    {
        const QMutexLocker lock(&m_state.mutex);
        if (m_state.silent)
            return false;
        m_state.cancelled << jobId;
        if (m_state.states.contains(jobId))
            m_state.states[jobId] = JobState::Failed;
        return true;
    }
    JobState jobState(int id, const QString&) override
    {
        const QMutexLocker lock(&m_state.mutex);
        ++m_state.questions;
        if (m_state.silent)
            return JobState::Waiting;
        if (m_state.states.contains(id))
            return m_state.states.value(id);
        // No longer listed: done, unless its printer went.
        return m_state.printerGone ? JobState::Failed : JobState::Completed;
    }

private:
    State& m_state;
};

}  // namespace qelvaro::test
