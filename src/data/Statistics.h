#pragma once

#include <QString>

namespace qelvaro {

class Database;

inline const QString kNoStatisticsText = QStringLiteral("无统计数字");

struct Statistics {
    bool ok = false;
    QString problem;  // a message for the doctor when !ok
    qint64 prescriptions = 0;
    double turnover = 0;  // drug fees plus other fees, each read by its leading number
};

// The prescriptions whose visit date lies in [from, to], both ends included, and the sum of their
// two fees. The two texts are the date boxes as typed; a text that is no date gives the
// date-range message and no query. A fee that holds nothing counts 0.
Statistics computeStatistics(Database* records, const QString& fromText, const QString& toText);

// The result line: "门诊处方数：n张，业务额：x元", or "无统计数字" for no prescription.
QString statisticsText(const Statistics& statistics);

// A sum of money as plain decimal text, at most 15 significant digits: 15.5, 0.3 (for 0.1 + 0.2), 30.
QString turnoverText(double value);

}  // namespace qelvaro
