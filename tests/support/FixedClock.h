#pragma once

#include "Clock.h"

#include <utility>

namespace qelvaro {

// A clock the test sets and moves on.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime time) : m_time(std::move(time)) {}
    QDateTime now() const override { return m_time; }
    void set(const QDateTime& time) { m_time = time; }
    void advance(qint64 seconds) { m_time = m_time.addSecs(seconds); }

private:
    QDateTime m_time;
};

}  // namespace qelvaro
