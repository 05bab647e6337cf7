#pragma once

// The records database of a busy clinic that the record benchmarks share: a million prescriptions
// over ten years and a hundred thousand patients. It is built once in the build tree and kept for
// later runs; its indexes are brought in line with the template's on every start. A run holds it
// until it ends, so two runs at once take turns instead of writing into each other's rows.

#include "DataStore.h"
#include "Pinyin.h"
#include "Prescription.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QLockFile>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace qelvaro::bench {

using namespace Qt::StringLiterals;

inline constexpr int kPrescriptions = 1'000'000;
inline constexpr int kPatients = 100'000;
inline constexpr int kDistinctNames = 3000;
inline const QDate kFirstDay(2016, 1, 1);
inline const QDate kLastDay(2025, 12, 31);
// In this build's tree (benchmarks/CMakeLists.txt names it), so two checkouts or two users never
// share it.
inline const QString kRecordBenchFolder = QString::fromUtf8(QELVARO_BENCHMARK_DATA "/record-bench");

struct Patient {
    QString name, sex, birthYear, feeClass, card, address, diagnosis, telephone;
};

inline QString pick(std::mt19937& rng, const QStringList& from)
{
    return from[std::uniform_int_distribution<int>(0, int(from.size()) - 1)(rng)];
}

inline QStringList makeNames(std::mt19937& rng)
{
    const QString surnames = QStringLiteral(
        "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤");
    const QString given = QStringLiteral(
        "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰萍红建国志文斌波辉宇浩鹏飞鑫凤春梅海燕晓东");
    QSet<QString> seen;
    QStringList names;
    std::uniform_int_distribution<int> s(0, int(surnames.size()) - 1), g(0, int(given.size()) - 1), len(1, 2);
    while (names.size() < kDistinctNames) {
        QString name = surnames[s(rng)];
        for (int i = len(rng); i > 0; --i)
            name += given[g(rng)];
        if (!seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    return names;
}

inline bool fillDatabase(Database& db, const QStringList& names, std::mt19937& rng)
{
    const QStringList fees{u"自费"_s, u"医保"_s, u"农保"_s};
    const QStringList places{u"东岭村一组"_s, u"西山镇"_s, u"南湖街道"_s, u"北关村"_s, u"城关镇三街"_s};
    const QStringList diagnoses{u"上呼吸道感染"_s, u"急性支气管炎"_s, u"高血压病"_s, u"慢性胃炎"_s,
                                u"2型糖尿病"_s,    u"腰肌劳损"_s,     u"急性胃肠炎"_s, u"过敏性鼻炎"_s};
    const QStringList drugs{u"阿莫西林胶囊  0.25g*24\r\n    用法：0.5g tid"_s,
                            u"复方甘草片  100片\r\n    用法：3片 tid"_s,
                            u"0.9%氯化钠注射液  100ml\r\n注射用头孢曲松钠  1g\r\n    用法：2g iv/gtt qd"_s,
                            u"硝苯地平缓释片  10mg*30\r\n    用法：10mg bid"_s,
                            u"奥美拉唑肠溶胶囊  20mg*14\r\n    用法：20mg qd"_s};
    const QString history = QStringLiteral(
        "主诉：咳嗽、咳痰3天。\r\n现病史：患者3天前受凉后出现咳嗽，咳白色黏痰，无发热。\r\n"
        "体格检查：T 36.8℃，咽部充血，双肺呼吸音粗。\r\n处理意见：止咳化痰，3天后复诊。");

    Transaction transaction(db);
    Statement patient = db.prepare(
        R"(INSERT INTO "患者信息" ("序号", "出生年月", "姓名", "性别", "费别", "医疗证号", "诊断",
           "住址", "过敏史", "既往史", "电话") VALUES (?, ?, ?, ?, ?, ?, ?, ?, '无', '无', ?))");
    std::vector<Patient> patients;
    patients.reserve(kPatients);
    std::uniform_int_distribution<int> birth(1930, 2020), coin(0, 99);
    for (int i = 0; i < kPatients; ++i) {
        Patient p{pick(rng, names), coin(rng) < 50 ? u"男"_s : u"女"_s, QString::number(birth(rng)),
                  pick(rng, fees), QStringLiteral("2016%1").arg(i, 10, 10, QChar(u'0')), pick(rng, places),
                  pick(rng, diagnoses), QStringLiteral("135%1").arg(i, 8, 10, QChar(u'0'))};
        if (!patient.bindAll(patientKey(p.name, p.birthYear), p.birthYear, p.name, p.sex, p.feeClass, p.card,
                             p.diagnosis, p.address, p.telephone)
                 .run())
            return false;
        patients.push_back(std::move(p));
    }

    Statement record = db.prepare(
        R"(INSERT INTO "档案" ("0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13",
           "14", "15", "16", "C1", "C2", "T1", "T2", "T3", "名称")
           VALUES (?, ?, ?, ?, ?, '内科', ?, ?, ?, ?, '林志远', '周晓梅', '陈建华', ?, ?, '无', '无',
                   '普通处方笺', '普通', ?, ?, ?, ?))");
    const qint64 days = kFirstDay.daysTo(kLastDay) + 1;
    std::uniform_int_distribution<int> who(0, kPatients - 1), drugCount(1, 3);
    for (int i = 0; i < kPrescriptions; ++i) {
        // Prescriptions in the order they were begun, spread evenly over the working day.
        const QDate day = kFirstDay.addDays(qint64(i) * days / kPrescriptions);
        const int ofDay = int(qint64(i) * days % kPrescriptions * 36000 / kPrescriptions);
        const QDateTime begun(day, QTime(8, 0).addSecs(ofDay));
        const Patient& p = patients[size_t(who(rng))];
        QString body;
        for (int d = drugCount(rng); d > 0; --d)
            body += pick(rng, drugs) + u"\r\n\r\n"_s;
        const bool infusion = body.contains(u"iv/gtt"_s);
        if (!record.bindAll(p.name, p.sex, QString::number(day.year() - p.birthYear.toInt()) + u'岁', p.feeClass,
                            p.card, p.address, p.telephone, p.diagnosis, isoDate(day),
                            QString::number(20 + coin(rng)) + u".50"_s, QStringLiteral("15.00"), body,
                            infusion ? drugs[2] : QString(), coin(rng) < 20 ? history : QString(),
                            recordKey(begun))
                 .run())
            return false;
    }
    return transaction.commit();
}

// The template's indexes, so the benchmark measures the schema as shipped.
inline bool matchTemplateIndexes(Database& bench)
{
    QTemporaryDir dir;
    DataStore fresh(AppPaths::inFolder(dir.path()));
    if (!fresh.open())
        return false;
    auto indexes = [](Database& db) {
        QHash<QString, QString> result;
        Statement st = db.prepare("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL");
        while (st.next())
            result.insert(st.text(0), st.text(1));
        return result;
    };
    const auto wanted = indexes(*fresh.records());
    const auto present = indexes(bench);
    for (auto it = present.begin(); it != present.end(); ++it) {
        if (wanted.value(it.key()) != it.value()) {
            std::printf("dropping index %s\n", qPrintable(it.key()));
            if (!bench.exec(QStringLiteral("DROP INDEX \"%1\"").arg(it.key()).toStdString()))
                return false;
        }
    }
    for (auto it = wanted.begin(); it != wanted.end(); ++it) {
        if (present.value(it.key()) != it.value()) {
            std::printf("creating index %s\n", qPrintable(it.key()));
            if (!bench.exec(it.value().toStdString()))
                return false;
        }
    }
    // No ANALYZE: a clinic's file has no statistics either, so the plans are the ones it gets.
    return true;
}

// Holds the benchmark folder for the rest of the run, waiting while another run holds it: the
// benchmarks save and delete rows and change indexes, and a build takes a while, so two runs at
// once must not use it together. The lock of a run that died is taken over.
inline bool holdRecordBenchFolder()
{
    static QLockFile lock(kRecordBenchFolder + u".lock"_s);
    if (lock.isLocked())
        return true;
    lock.setStaleLockTime(0);  // a long run is not a dead one
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError)
        return false;
    std::printf("waiting for the lock of %s, held by another run or left by one that ended ...\n",
                qPrintable(kRecordBenchFolder));
    std::fflush(stdout);
    return lock.lock();
}

// Opens the benchmark folder's data store, building the records first when they are not there.
// names receives the patient names the rows were made from.
inline std::unique_ptr<DataStore> openRecordBenchStore(QStringList* names)
{
    std::mt19937 rng(20161014);
    *names = makeNames(rng);
    if (!holdRecordBenchFolder())
        return nullptr;
    QDir().mkpath(kRecordBenchFolder);
    auto store = std::make_unique<DataStore>(AppPaths::inFolder(kRecordBenchFolder));
    if (!store->open())
        return nullptr;
    Database& db = *store->records();
    qint64 stored = 0;
    {
        Statement count = db.prepare(R"(SELECT count(*) FROM "档案")");
        stored = count.next() ? count.integer(0) : 0;
    }
    if (stored < kPrescriptions) {
        std::printf("building %d prescriptions and %d patients in %s ...\n", kPrescriptions, kPatients,
                    qPrintable(db.path()));
        std::fflush(stdout);
        QElapsedTimer timer;
        timer.start();
        if (!fillDatabase(db, *names, rng))
            return nullptr;
        std::printf("built in %.1f s\n", timer.elapsed() / 1000.0);
    }
    if (!matchTemplateIndexes(db))
        return nullptr;
    return store;
}

}  // namespace qelvaro::bench
