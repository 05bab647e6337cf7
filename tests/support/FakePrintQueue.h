#pragma once

#include "PrintQueue.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QStringList>

namespace qelvaro::test {

// A print queue driven by the test: a job it takes waits until the test ends it. It keeps a copy
// of every PDF it is given, since the printer target removes its file once the job is handed over.
class FakePrintQueue : public PrintQueue {
public:
    struct State {
        QString printer = QStringLiteral("诊室打印机");  // the default printer; empty: none
        QMarginsF minimumMargins;
        bool refuse = false;                   // the queue takes no job
        QStringList jobs;                      // names of the jobs taken; job n has the id n + 1
        QStringList given;                     // the paths they were given as
        QList<QByteArray> pdfs;                // what they were given
        QList<QPageLayout::Orientation> asked;  // paper asked for, by orientation
        QMap<int, JobState> states;            // by id
        int questions = 0;                     // how often a job's state was asked

        void end(int id, JobState state) { states[id] = state; }
    };
    explicit FakePrintQueue(State& state) : m_state(state) {}

    QString defaultPrinter() override { return m_state.printer; }
    Paper paper(const QString&, QPageLayout::Orientation orientation) override
    {
        m_state.asked << orientation;
        return {QPageSize(QPageSize::A4), m_state.minimumMargins};
    }
    int submit(const QString& printer, const QString& jobName, const QString& pdfPath) override
    {
        if (m_state.refuse || printer != m_state.printer)
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
    JobState jobState(int id) override
    {
        ++m_state.questions;
        return m_state.states.value(id, JobState::Failed);
    }

private:
    State& m_state;
};

}  // namespace qelvaro::test
