#pragma once

#include <QDateTime>

namespace qelvaro {

// The program's clock (record keys, today's date, the backup's day folder); tests set the time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

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
