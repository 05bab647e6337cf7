#pragma once

#include "Database.h"

#include <QString>
#include <QVariant>

namespace qelvaro::test {

// A visit stored as the editor stores it; a null QVariant leaves the column empty (null).
struct Visit {
    QVariant name = QStringLiteral("张三");
    QVariant sex = QStringLiteral("男");
    QVariant age = QStringLiteral("35岁");
    QVariant diagnosis = QStringLiteral("上呼吸道感染");
    QVariant address = QStringLiteral("东岭村一组");
    QString date = QStringLiteral("2024-03-05");
    QVariant drugFee = QStringLiteral("10");
    QVariant otherFee = QStringLiteral("5");
};

// Empties 档案 (the template's sample row goes) so a test sees only its own visits.
inline bool clearVisits(Database& records) { return records.exec(R"(DELETE FROM "档案")"); }

inline bool addVisit(Database& records, const Visit& v)
{
    static int serial = 0;
    const QString key = v.date + QStringLiteral(" %1").arg(++serial, 8, 10, QChar(u'0'));
    Statement st = records.prepare(
        R"(INSERT INTO "档案" ("0", "1", "2", "8", "6", "9", "13", "14", "名称") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?))");
    return st.bindAll(v.name, v.sex, v.age, v.diagnosis, v.address, v.date, v.drugFee, v.otherFee, key).run();
}

}  // namespace qelvaro::test
