// The record store and the patient look-up on a busy clinic's data: a million prescriptions over
// ten years and a hundred thousand patients. The database is built once under /tmp and kept for
// later runs; its indexes are brought in line with the template's on every start.
#include "DataStore.h"
#include "Lookups.h"
#include "Pinyin.h"
#include "Prescription.h"
#include "RecordStore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <random>

using namespace qelvaro;
using namespace Qt::StringLiterals;

namespace {

constexpr int kPrescriptions = 1'000'000;
constexpr int kPatients = 100'000;
constexpr int kDistinctNames = 3000;
const QDate kFirstDay(2016, 1, 1);
const QDate kLastDay(2025, 12, 31);
const QString kFolder = QStringLiteral("/tmp/qelvaro-recordbench");

struct Patient {
    QString name, sex, birthYear, feeClass, card, address, diagnosis, telephone;
};

struct Data {
    std::unique_ptr<DataStore> store;
    QStringList names;
    int currentYear = kLastDay.year();
};

Data* g_data = nullptr;

QString pick(std::mt19937& rng, const QStringList& from)
{
    return from[std::uniform_int_distribution<int>(0, int(from.size()) - 1)(rng)];
}

QStringList makeNames(std::mt19937& rng)
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

bool fillDatabase(Database& db, const QStringList& names, std::mt19937& rng)
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
bool matchTemplateIndexes(Database& bench)
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

void printPlans(Database& records, Database& settings)
{
    QList<NamedQuery> queries = RecordStore::queries();
    queries += Lookups::queries();
    for (const NamedQuery& q : queries) {
        Database& db = q.database == NamedQuery::Target::Records ? records : settings;
        Statement st = db.prepare("EXPLAIN QUERY PLAN " + std::string(q.sql));
        std::printf("-- %s\n", q.name);
        while (st.next())
            std::printf("   %s\n", qPrintable(st.text("detail")));
        if (!st.ok())
            std::printf("   (%s)\n", qPrintable(st.error()));
    }
    std::fflush(stdout);
}

bool setUp()
{
    static Data data;
    std::mt19937 rng(20161014);
    data.names = makeNames(rng);
    QDir().mkpath(kFolder);
    data.store = std::make_unique<DataStore>(AppPaths::inFolder(kFolder));
    if (!data.store->open())
        return false;
    Database& db = *data.store->records();
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
        if (!fillDatabase(db, data.names, rng))
            return false;
        std::printf("built in %.1f s\n", timer.elapsed() / 1000.0);
    }
    if (!matchTemplateIndexes(db))
        return false;
    printPlans(db, *data.store->settings());
    g_data = &data;
    return true;
}

QDate monthStart(int n) { return kFirstDay.addMonths(n % 120); }

void BM_RecordListNameMonth(benchmark::State& state)
{
    const RecordStore store(g_data->store->records());
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QDate from = monthStart(n * 7);
        const RecordList list = store.list(g_data->names[(n * 37) % kDistinctNames], from, from.addMonths(1).addDays(-1));
        rows += list.rows.size();
        benchmark::DoNotOptimize(list);
        ++n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RecordListNameMonth)->Unit(benchmark::kMillisecond);

// After a save: the patient's records of the last five years.
void BM_RecordListNameFiveYears(benchmark::State& state)
{
    const RecordStore store(g_data->store->records());
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const RecordList list = store.list(g_data->names[(n * 37) % kDistinctNames], fiveYearsBefore(kLastDay), kLastDay);
        rows += list.rows.size();
        benchmark::DoNotOptimize(list);
        ++n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RecordListNameFiveYears)->Unit(benchmark::kMillisecond);

// The main window's start: every record of the last month.
void BM_RecordListAllOfAMonth(benchmark::State& state)
{
    const RecordStore store(g_data->store->records());
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QDate from = monthStart(n * 7);
        const RecordList list = store.list(QString(), from, from.addMonths(1).addDays(-1));
        rows += list.rows.size();
        benchmark::DoNotOptimize(list);
        ++n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RecordListAllOfAMonth)->Unit(benchmark::kMillisecond);

// One keystroke in the name field: a typed name, pinyin initials, a birth year.
void BM_PatientLookup(benchmark::State& state)
{
    const Lookups lookups(g_data->store->records(), nullptr);
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QString name = g_data->names[(n * 37) % kDistinctNames];
        QString typed;
        switch (state.range(0)) {
        case 0: typed = name.left(2); break;
        case 1: typed = pinyinCode(name).left(2); break;
        default: typed = QString::number(1930 + n % 90); break;
        }
        const QList<LookupItem> items = lookups.patients(typed, g_data->currentYear);
        rows += items.size();
        benchmark::DoNotOptimize(items);
        ++n;
    }
    state.SetLabel(state.range(0) == 0 ? "name" : state.range(0) == 1 ? "pinyin" : "birth year");
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PatientLookup)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A new prescription for a known patient: the record inserted, the patient row brought up to date.
void BM_SaveWithPatient(benchmark::State& state)
{
    Database& db = *g_data->store->records();
    RecordStore store(&db);
    RecordKeyIssuer keys(&db);
    const QDateTime start(QDate(2030, 1, 1), QTime(8, 0));
    int n = 0;
    for (auto _ : state) {
        Prescription p;
        p.fields[Prescription::kName] = g_data->names[(n * 37) % kDistinctNames];
        p.fields[Prescription::kSex] = u"男"_s;
        p.fields[Prescription::kAge] = u"45岁"_s;
        p.fields[Prescription::kDate] = u"2025-12-31"_s;
        p.fields[Prescription::kDiagnosis] = u"上呼吸道感染"_s;
        p.body = u"复方甘草片  100片\n    用法：3片 tid\n"_s;
        p.key = keys.issue(start.addSecs(n));
        const SaveResult result = store.save(p, g_data->currentYear);
        if (!result.stored || result.patient != SaveResult::PatientRow::Written) {
            state.SkipWithError(qPrintable(u"save failed: "_s + result.problem + db.lastError()));
            break;
        }
        ++n;
    }
    // After the loop, so untimed.
    db.exec(R"(DELETE FROM "档案" WHERE "名称" >= '2030')");
}
BENCHMARK(BM_SaveWithPatient)->Unit(benchmark::kMillisecond);

void BM_OpenRecord(benchmark::State& state)
{
    const RecordStore store(g_data->store->records());
    std::mt19937 rng(7);
    std::uniform_int_distribution<qint64> row(1, kPrescriptions);
    for (auto _ : state) {
        const std::optional<Prescription> p = store.open(row(rng));
        if (!p)
            state.SkipWithError("no record");
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_OpenRecord)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!setUp()) {
        std::fprintf(stderr, "could not build the benchmark database in %s\n", qPrintable(kFolder));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
