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

}  // namespace qelvaro
