#include "DataStore.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qelvaro;
using namespace qelvaro::test;

class DataStoreTest : public QObject {
    Q_OBJECT

private:
    static QStringList columns(Database& db, const char* table)
    {
        Statement st = db.prepare(QStringLiteral("PRAGMA table_info(\"%1\")").arg(QString::fromUtf8(table)).toStdString());
        QStringList names;
        while (st.next())
            names << st.text("name");
        return names;
    }
    static qint64 count(Database& db, const char* table)
    {
        Statement st = db.prepare(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(QString::fromUtf8(table)).toStdString());
        return st.next() ? st.integer(0) : -1;
    }

    static int modeOf(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }
    // A child process takes the lock and ends without unlocking, as a killed program would. Its
    // number once it has ended, not yet collected (a zombie until waitpid); -1 when it failed.
    static pid_t lockAndEnd(const QString& lockPath)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            QLockFile lock(lockPath);
            ::_exit(lock.tryLock(0) ? 0 : 1);
        }
        siginfo_t ended {};
        if (child < 0 || ::waitid(P_PID, id_t(child), &ended, WEXITED | WNOWAIT) != 0 || ended.si_status != 0)
            return -1;
        return child;
    }
    // Runs SQL in the stock SQLCipher shell on a file; the shell's output, or a null text when
    // the shell failed.
    static QString shell(const QString& file, const QByteArray& key, const QString& sql)
    {
        QProcess process;
        process.start(QStringLiteral("sqlcipher"), {QStringLiteral("-bail"), file});
        if (!process.waitForStarted())
            return QString();
        process.write("PRAGMA key = '" + key + "'; PRAGMA cipher_page_size = 4096; PRAGMA kdf_iter = 64000;\n"
                      + sql.toUtf8() + "\n");
        process.closeWriteChannel();
        process.waitForFinished();
        if (process.exitCode() != 0)
            return QString();
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

private slots:
    void firstStartWritesBothTemplates()
    {
        TempProgramFolder folder;
        DataStore store(folder.paths());
        QVERIFY(store.open());
        QVERIFY(store.startupMessage().isEmpty());
        QCOMPARE(store.loginPassword().value_or(QStringLiteral("<none>")), QStringLiteral("586"));

        const AppPaths paths = folder.paths();
        QCOMPARE(readFile(paths.recordsFile()), readFile(DataStore::kRecordsTemplate));
        QCOMPARE(readFile(paths.settingsFile()), readFile(DataStore::kSettingsTemplate));
        for (const QString& file : {paths.recordsFile(), paths.settingsFile()}) {
            const QByteArray bytes = readFile(file);
            QVERIFY(bytes.size() > 4096);
            QVERIFY2(!bytes.startsWith("SQLite format 3"), qPrintable(file));
        }
        // No temporary file is left beside them.
        QCOMPARE(QDir(paths.dataDir()).entryList(QDir::Files).size(), 2);
    }

    void filesAreEncryptedWithTheirKeys()
    {
        TempProgramFolder folder;
        DataStore store(folder.paths());
        QVERIFY(store.open());
        QVERIFY(!store.records()->cipherVersion().isEmpty());
        store.close();
        const AppPaths paths = folder.paths();
        struct Case { QString file; QByteArray key; bool opens; };
        const QList<Case> cases{{paths.recordsFile(), DataStore::kRecordsKey, true},
                                {paths.recordsFile(), DataStore::kSettingsKey, false},
                                {paths.recordsFile(), QByteArray(), false},
                                {paths.settingsFile(), DataStore::kSettingsKey, true},
                                {paths.settingsFile(), DataStore::kRecordsKey, false},
                                {paths.settingsFile(), QByteArray(), false}};
        for (const Case& c : cases) {
            Database::OpenError error;
            auto db = Database::open(c.file, c.key, &error);
            QVERIFY2(bool(db) == c.opens, qPrintable(c.file + u' ' + QString::fromLatin1(c.key)));
            if (!c.opens)
                QCOMPARE(error, Database::OpenError::NotADatabase);
        }
    }

    void schemaHasEveryTableAndColumnInOrder()
    {
        TempProgramFolder folder;
        DataStore store(folder.paths());
        QVERIFY(store.open());
        Database& rec = *store.records();
        Database& set = *store.settings();

        QStringList archive;
        for (int i = 0; i <= 29; ++i)
            archive << QString::number(i);
        for (int i = 1; i <= 8; ++i)
            archive << QStringLiteral("T%1").arg(i);
        archive << QStringLiteral("C1") << QStringLiteral("C2") << QStringLiteral("名称");
        for (int i = 9; i <= 12; ++i)
            archive << QStringLiteral("T%1").arg(i);
        QCOMPARE(columns(rec, "档案"), archive);
        QCOMPARE(columns(rec, "患者信息"),
                 QString("序号 出生年月 姓名 性别 费别 医疗证号 诊断 住址 过敏史 既往史 电话 备用1 备用2 备用3").split(u' '));
        QCOMPARE(columns(rec, "密码"), QStringList{QStringLiteral("密码")});
        QCOMPARE(columns(set, "药品"), QString("拼音 名称 分类").split(u' '));
        QCOMPARE(columns(set, "个人组套"), QString("名称 分类 拼音 内容").split(u' '));
        QCOMPARE(columns(set, "病史模板"), QString("名称 内容 序号 拼音").split(u' '));
        QCOMPARE(columns(set, "诊断"), QString("名称 拼音 序号").split(u' '));
        QCOMPARE(columns(set, "地址"), QString("名称 拼音 序号").split(u' '));
        const QStringList settings = columns(set, "设置");
        QCOMPARE(settings.size(), 96);
        QCOMPARE(settings.mid(0, 9), QString("医生 上边距 左边距 上边距1 左边距1 配药 名称 索引 复核").split(u' '));
        QCOMPARE(settings.mid(9, 3), QString("姓名1 姓名2 姓名3").split(u' '));
        QCOMPARE(settings.mid(24, 3), QString("住址|电话1 住址|电话2 住址|电话3").split(u' '));
        QCOMPARE(settings.mid(51, 5), QString("字体 大小 男(划掉女)1 男(划掉女)2 男(划掉女)3").split(u' '));
        QCOMPARE(settings.mid(84), QString("日期1 日期2 日期3 过敏史1 过敏史2 过敏史3 既往史1 既往史2 既往史3 电话1 电话2 电话3").split(u' '));

        Statement idx = rec.prepare("SELECT name, tbl_name FROM sqlite_master WHERE type = 'index' ORDER BY name");
        QStringList indexes;
        while (idx.next())
            indexes << idx.text(1) + u'.' + idx.text(0);
        QVERIFY(indexes.contains(QStringLiteral("档案.名称")));
        QVERIFY(indexes.contains(QStringLiteral("患者信息.ID")));
    }

    void templatesHoldTheSampleRows()
    {
        TempProgramFolder folder;
        DataStore store(folder.paths());
        QVERIFY(store.open());
        Database& rec = *store.records();
        Database& set = *store.settings();
        QCOMPARE(count(rec, "档案"), 1);
        QCOMPARE(count(rec, "患者信息"), 1);
        QCOMPARE(count(rec, "密码"), 1);
        QCOMPARE(count(set, "药品"), 245);
        QCOMPARE(count(set, "个人组套"), 3);
        QCOMPARE(count(set, "病史模板"), 3);
        QCOMPARE(count(set, "诊断"), 89);
        QCOMPARE(count(set, "地址"), 3);
        QCOMPARE(count(set, "设置"), 1);

        Statement categories = set.prepare("SELECT DISTINCT \"分类\" FROM \"药品\"");
        QStringList found;
        while (categories.next())
            found << categories.text(0);
        found.sort();
        QStringList expected = QString("抗生素 输液 心血管 呼吸 消化 神经 内分泌 解热镇痛 维生素激素 外用 中成药 其他 中药").split(u' ');
        expected.sort();
        QCOMPARE(found, expected);

        Statement kinds = set.prepare("SELECT \"分类\", count(*) FROM \"个人组套\" GROUP BY \"分类\" ORDER BY \"分类\"");
        QStringList kindCounts;
        while (kinds.next())
            kindCounts << kinds.text(0) + u'=' + kinds.text(1);
        QCOMPARE(kindCounts, (QStringList{QStringLiteral("个人组套=2"), QStringLiteral("中医验方=1")}));

        Statement templates = set.prepare("SELECT \"名称\" FROM \"病史模板\" ORDER BY \"名称\" COLLATE GBK");
        QStringList names;
        while (templates.next())
            names << templates.text(0);
        QCOMPARE(names, QString("高血压病 急性支气管炎 上呼吸道感染").split(u' '));

        // Stored codes are the program's own pinyin code; a diagnosis' key is its name and code.
        Statement diag = set.prepare("SELECT count(*) FROM \"诊断\" WHERE \"序号\" <> \"名称\" || \"拼音\" OR \"拼音\" = ''");
        QVERIFY(diag.next());
        QCOMPARE(diag.integer(0), 0);
        Statement uri = set.prepare("SELECT \"拼音\" FROM \"诊断\" WHERE \"名称\" = '上呼吸道感染'");
        QVERIFY(uri.next());
        QCOMPARE(uri.text(0), QStringLiteral("shxdgr"));

        // The settings row carries every column.
        Statement row = set.prepare("SELECT * FROM \"设置\"");
        QVERIFY(row.next());
        for (int i = 0; i < row.columnCount(); ++i)
            QVERIFY2(!row.isNull(i), qPrintable(row.columnName(i)));
        QCOMPARE(row.text("字体"), QStringLiteral("宋体"));
        QCOMPARE(row.text("大小"), QStringLiteral("12"));
        QCOMPARE(row.text("姓名2"), QStringLiteral("26"));
        QCOMPARE(row.text("电话1"), QStringLiteral("0"));
    }

    void secondStartLeavesFilesUntouched()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        {
            DataStore first(paths);
            QVERIFY(first.open());
        }
        // A file of another size than the template is still left alone.
        QFile settings(paths.settingsFile());
        QVERIFY(settings.open(QIODevice::Append));
        settings.write(QByteArray(4096, '\0'));
        settings.close();
        const QByteArray records = readFile(paths.recordsFile());
        const QByteArray settingsBytes = readFile(paths.settingsFile());
        const QDateTime stamp = QFileInfo(paths.recordsFile()).lastModified();

        DataStore second(paths);
        QVERIFY(second.open());
        second.close();
        QCOMPARE(readFile(paths.recordsFile()), records);
        QCOMPARE(readFile(paths.settingsFile()), settingsBytes);
        QCOMPARE(QFileInfo(paths.recordsFile()).lastModified(), stamp);
    }

    void onlyTheMissingFileIsRewritten()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        {
            DataStore first(paths);
            QVERIFY(first.open());
            QVERIFY(first.records()->exec("DELETE FROM \"档案\""));
        }
        const QByteArray records = readFile(paths.recordsFile());
        QVERIFY(QFile::remove(paths.settingsFile()));

        DataStore second(paths);
        QVERIFY(second.open());
        Statement st = second.records()->prepare("SELECT count(*) FROM \"档案\"");
        QVERIFY(st.next());
        QCOMPARE(st.integer(0), 0);
        second.close();
        QCOMPARE(readFile(paths.recordsFile()), records);
        QCOMPARE(readFile(paths.settingsFile()), readFile(DataStore::kSettingsTemplate));
    }

    void unusableFileIsReportedAndLeftAsItIs_data()
    {
        QTest::addColumn<bool>("recordsFile");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("damaged records") << true << QByteArray("this is not a database at all").repeated(300);
        QTest::newRow("empty records") << true << QByteArray();
        QTest::newRow("plain sqlite settings") << false << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\0');
        QTest::newRow("damaged settings") << false << QByteArray(8192, '\x5a');
    }

    void unusableFileIsReportedAndLeftAsItIs()
    {
        QFETCH(bool, recordsFile);
        QFETCH(QByteArray, content);
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        QVERIFY(QDir().mkpath(paths.dataDir()));
        const QString bad = recordsFile ? paths.recordsFile() : paths.settingsFile();
        writeFile(bad, content);

        DataStore store(paths);
        QVERIFY(!store.open());
        QVERIFY(!store.loginPassword().has_value());
        const QString message = store.startupMessage();
        QVERIFY2(message.contains(QFileInfo(bad).fileName()), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("未作任何改动")));
        QCOMPARE(recordsFile ? store.records() == nullptr : store.settings() == nullptr, true);
        // The other file is still made and usable.
        QVERIFY(recordsFile ? store.settings() != nullptr : store.records() != nullptr);
        store.close();
        QCOMPARE(readFile(bad), content);
    }

    // A folder (or a pipe) where a data file goes is said to be one, and left as it is; nothing
    // tries to open it as a file.
    void whatIsNoDataFileIsToldAndLeftAlone_data()
    {
        QTest::addColumn<bool>("recordsFile");
        QTest::addColumn<QString>("thing");
        QTest::newRow("folder as records") << true << QStringLiteral("文件夹");
        QTest::newRow("folder as settings") << false << QStringLiteral("文件夹");
        QTest::newRow("pipe as settings") << false << QStringLiteral("特殊文件");
    }
    void whatIsNoDataFileIsToldAndLeftAlone()
    {
        QFETCH(bool, recordsFile);
        QFETCH(QString, thing);
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        {
            DataStore earlier(paths);
            QVERIFY(earlier.open());
        }
        const QString bad = recordsFile ? paths.recordsFile() : paths.settingsFile();
        const QString other = recordsFile ? paths.settingsFile() : paths.recordsFile();
        const QByteArray otherBytes = readFile(other);
        QVERIFY(QFile::remove(bad));
        if (thing == u"文件夹") {
            QVERIFY(QDir().mkpath(bad));
            writeFile(bad + QStringLiteral("/inside"), "kept");
        } else {
            QVERIFY(::mkfifo(QFile::encodeName(bad).constData(), 0600) == 0);
        }

        DataStore store(paths);
        QVERIFY(!store.open());
        QVERIFY(!store.loginPassword().has_value());
        const QString message = store.startupMessage();
        QVERIFY2(message.contains(QStringLiteral("数据文件的位置“%1”上是一个%2，不是数据文件")
                                      .arg(QDir::toNativeSeparators(bad), thing)),
                 qPrintable(message));
        QVERIFY(!message.contains(QStringLiteral("读写权限")));
        QVERIFY(message.contains(QStringLiteral("未作任何改动")));
        store.close();
        if (thing == u"文件夹") {
            QCOMPARE(QDir(bad).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{u"inside"_qs});
            QCOMPARE(readFile(bad + QStringLiteral("/inside")), QByteArray("kept"));
        } else {
            QCOMPARE(QFileInfo(bad).isFile(), false);
        }
        QCOMPARE(readFile(other), otherBytes);
    }

    void fileWithAnotherKeyIsReported()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        QVERIFY(QDir().mkpath(paths.dataDir()));
        {
            auto other = Database::open(paths.recordsFile(), "another key", nullptr, nullptr, true);
            QVERIFY(other);
            QVERIFY(other->exec("CREATE TABLE \"密码\" (\"密码\" TEXT); INSERT INTO \"密码\" VALUES ('')"));
        }
        const QByteArray before = readFile(paths.recordsFile());
        DataStore store(paths);
        QVERIFY(!store.open());
        QVERIFY(!store.loginPassword().has_value());
        QVERIFY(store.startupMessage().contains(QStringLiteral("档案.dat")));
        store.close();
        QCOMPARE(readFile(paths.recordsFile()), before);
    }

    void unwritableDataFolderIsReported()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        // A file where the folder should be: no folder can be made, whoever runs the test.
        writeFile(paths.dataDir(), "in the way");
        DataStore store(paths);
        QVERIFY(!store.open());
        QVERIFY(store.startupMessage().contains(QStringLiteral("档案数据库")));
        QVERIFY(!store.records() && !store.settings());
        QVERIFY(!store.loginPassword().has_value());
        QCOMPARE(readFile(paths.dataDir()), QByteArray("in the way"));
    }

    void filesThatCannotBeWrittenAreToldButAdmit()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        {
            DataStore first(paths);
            QVERIFY(first.open());
        }
        // Open to others, and the mode cannot be taken back: told, not hidden.
        QVERIFY(::chmod(QFile::encodeName(paths.recordsFile()).constData(), 0644) == 0);
        // The immutable flag refuses writes even to the superuser the tests may run as.
        const QStringList targets{paths.dataDir(), paths.recordsFile(), paths.settingsFile()};
        const auto chattr = [&](const char* flag) {
            return QProcess::execute(QStringLiteral("chattr"), QStringList{QString::fromLatin1(flag)} + targets) == 0;
        };
        if (!chattr("+i"))
            QSKIP("this file system cannot make files read-only for every user");
        DataStore store(paths);
        const bool opened = store.open();
        const QString message = store.startupMessage();
        const bool admitted = store.loginPassword().has_value();
        store.close();
        QVERIFY(chattr("-i"));
        QVERIFY(opened);
        QVERIFY(admitted);
        QVERIFY2(message.contains(QStringLiteral("不能写入")), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("档案.dat")) && message.contains(QStringLiteral("设置.dat")));
        QVERIFY2(message.contains(QStringLiteral("数据文件“档案数据库/档案.dat”其他用户也能读取，且无法改为仅本人可读写")),
                 qPrintable(message));
        QVERIFY(!message.contains(QStringLiteral("设置.dat”其他用户")));
        QVERIFY(!message.contains(QStringLiteral("不能登录")));
    }

    void missingPasswordRowAdmitsNobody()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        {
            DataStore first(paths);
            QVERIFY(first.open());
            QVERIFY(first.records()->exec("DELETE FROM \"密码\""));
        }
        DataStore store(paths);
        QVERIFY(!store.open());
        QVERIFY(!store.loginPassword().has_value());
        QVERIFY(store.startupMessage().contains(QStringLiteral("密码")));
    }

    // Two copies on one folder would issue the same record keys and overwrite each other's saves.
    void aSecondCopyOnTheFolderTouchesNothing()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        DataStore first(paths);
        QVERIFY(first.open());
        const QByteArray records = readFile(paths.recordsFile());
        const QByteArray settings = readFile(paths.settingsFile());

        DataStore second(paths);
        QVERIFY(!second.open());
        QVERIFY(second.isInUseElsewhere());
        QVERIFY(second.lockObstacle().isEmpty());
        QVERIFY(!second.records() && !second.settings());
        QVERIFY(!second.loginPassword().has_value());
        QCOMPARE(readFile(paths.recordsFile()), records);
        QCOMPARE(readFile(paths.settingsFile()), settings);
        // The first copy keeps working.
        QVERIFY(first.records()->exec("UPDATE \"密码\" SET \"密码\" = 'neu'"));
        first.close();
        // Closed, it gives the folder up.
        DataStore third(paths);
        QVERIFY(third.open());
        QCOMPARE(*third.loginPassword(), QStringLiteral("neu"));
    }

    // Where the lock goes lies something that is no lock, or the lock of another machine: whether
    // a copy runs cannot be told, so nothing is opened or touched, and the doctor learns what is
    // in the way, where, and what to do.
    void whatIsNoLockIsToldAndLeftAlone_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("told");  // %1: the lock's place
        QTest::newRow("folder") << "folder" << "“%1”是一个文件夹";
        QTest::newRow("dangling link") << "dangling link" << "“%1”是一个链接";
        QTest::newRow("looping link") << "looping link" << "“%1”是一个链接";
        QTest::newRow("pipe") << "pipe" << "“%1”是一个特殊文件";
        QTest::newRow("garbage") << "garbage" << "“%1”是一个内容无法识别的文件";
        QTest::newRow("empty file") << "empty file" << "“%1”是一个内容无法识别的文件";
        // A folder carried over from a machine that crashed: no copy here, and none to check there.
        QTest::newRow("lock of a copy on another machine")
            << "other machine" << "数据文件夹正在计算机“another-machine”上使用，程序没有启动。\n\n锁文件“%1”";
    }
    void whatIsNoLockIsToldAndLeftAlone()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, told);
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        {
            DataStore earlier(paths);
            QVERIFY(earlier.open());
        }
        const QString lockPath = paths.dataDir() + u'/' + DataStore::kLockFileName;
        const QByteArray lock = QFile::encodeName(lockPath);
        if (obstacle == u"folder")
            QVERIFY(QDir().mkpath(lockPath));
        else if (obstacle == u"dangling link")
            QVERIFY(::symlink("nowhere", lock.constData()) == 0);
        else if (obstacle == u"looping link")
            QVERIFY(::symlink(QFile::encodeName(DataStore::kLockFileName).constData(), lock.constData()) == 0);
        else if (obstacle == u"pipe")
            QVERIFY(::mkfifo(lock.constData(), 0600) == 0);
        else if (obstacle == u"other machine")
            writeFile(lockPath, "4242\nqelvaro\nanother-machine\n0123456789abcdef0123456789abcdef\n");
        else
            writeFile(lockPath, obstacle == u"garbage" ? QByteArray("\x01\x02 not a lock\n") : QByteArray());
        const QStringList before = QDir(paths.dataDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        const QByteArray records = readFile(paths.recordsFile());
        struct stat lockBefore {};
        QVERIFY(::lstat(lock.constData(), &lockBefore) == 0);

        DataStore store(paths);
        QVERIFY(!store.open());
        QVERIFY(!store.isInUseElsewhere());
        QVERIFY2(store.lockObstacle().contains(told.arg(QDir::toNativeSeparators(lockPath))),
                 qPrintable(store.lockObstacle()));
        QVERIFY(!store.records() && !store.settings());
        QVERIFY(!store.loginPassword().has_value());
        QCOMPARE(QDir(paths.dataDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
        QCOMPARE(readFile(paths.recordsFile()), records);
        struct stat lockAfter {};
        QVERIFY(::lstat(lock.constData(), &lockAfter) == 0);
        QCOMPARE(lockAfter.st_ino, lockBefore.st_ino);
        QCOMPARE(lockAfter.st_mode, lockBefore.st_mode);
        if (obstacle == u"garbage")
            QCOMPARE(readFile(lockPath), QByteArray("\x01\x02 not a lock\n"));
    }

    void aLockLeftByADeadCopyIsTakenOver()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        QVERIFY(QDir().mkpath(paths.dataDir()));
        const QString lockPath = paths.dataDir() + u'/' + DataStore::kLockFileName;
        const pid_t child = lockAndEnd(lockPath);
        QVERIFY(child > 0);
        QCOMPARE(::waitpid(child, nullptr, 0), child);
        QVERIFY(QFileInfo::exists(lockPath));

        DataStore store(paths);
        QVERIFY(store.open());
        QVERIFY(!store.isInUseElsewhere());
    }

    // The lock of a copy of this machine that is gone, which cannot be removed: where nothing can
    // be written the start goes on as without it (read-only, told); elsewhere whatever keeps it
    // is the doctor's to clear, and nothing is touched.
    void aStaleLockThatCannotBeRemoved_data()
    {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<bool>("collected");  // false: the copy has ended, its parent not yet told
        QTest::newRow("in a folder nobody may write") << false << true;
        QTest::newRow("a lock file that cannot be removed") << true << true;
        QTest::newRow("of a copy not yet collected") << false << false;
    }
    void aStaleLockThatCannotBeRemoved()
    {
        QFETCH(bool, folderWritable);
        QFETCH(bool, collected);
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        {
            DataStore earlier(paths);
            QVERIFY(earlier.open());
        }
        const QString lockPath = paths.dataDir() + u'/' + DataStore::kLockFileName;
        const pid_t child = lockAndEnd(lockPath);
        QVERIFY(child > 0);
        if (collected)
            QCOMPARE(::waitpid(child, nullptr, 0), child);
        const QByteArray lock = readFile(lockPath);
        const QByteArray records = readFile(paths.recordsFile());
        // The immutable flag refuses the removal even to the superuser the tests may run as.
        const QString target = folderWritable ? lockPath : paths.dataDir();
        const auto chattr = [&](const char* flag) {
            return QProcess::execute(QStringLiteral("chattr"), {QString::fromLatin1(flag), target}) == 0;
        };
        if (!chattr("+i"))
            QSKIP("this file system cannot make files read-only for every user");
        DataStore store(paths);
        const bool opened = store.open();
        const bool admitted = store.loginPassword().has_value();
        const QString message = store.startupMessage();
        store.close();
        QVERIFY(chattr("-i"));
        if (!collected)
            QCOMPARE(::waitpid(child, nullptr, 0), child);
        QVERIFY(!store.isInUseElsewhere());
        QCOMPARE(opened, !folderWritable);
        QCOMPARE(admitted, !folderWritable);
        if (folderWritable) {
            QVERIFY2(store.lockObstacle().contains(QStringLiteral("“%1”是本程序意外退出时留下的锁文件，但它无法删除")
                                                       .arg(QDir::toNativeSeparators(lockPath))),
                     qPrintable(store.lockObstacle()));
        } else {
            QVERIFY(store.lockObstacle().isEmpty());
            QVERIFY2(message.contains(QStringLiteral("数据文件“档案数据库/档案.dat”不能写入")), qPrintable(message));
        }
        QCOMPARE(readFile(lockPath), lock);
        QCOMPARE(readFile(paths.recordsFile()), records);
    }

    void filesAreForTheOwnerOnly()
    {
        const mode_t previous = ::umask(022);
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        {
            DataStore store(paths);
            QVERIFY(store.open());
            QCOMPARE(modeOf(paths.dataDir() + u'/' + DataStore::kLockFileName), 0600);
        }
        QCOMPARE(modeOf(paths.dataDir()), 0700);
        QCOMPARE(modeOf(paths.recordsFile()), 0600);
        QCOMPARE(modeOf(paths.settingsFile()), 0600);
        // Left open to others by an earlier version: taken back at the next start, silently; a
        // file the owner made read-only stays read-only.
        QVERIFY(::chmod(QFile::encodeName(paths.dataDir()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(paths.recordsFile()).constData(), 0644) == 0);
        QVERIFY(::chmod(QFile::encodeName(paths.settingsFile()).constData(), 0444) == 0);
        {
            DataStore store(paths);
            store.open();
            QVERIFY(!store.startupMessage().contains(QStringLiteral("其他用户")));
        }
        ::umask(previous);
        QCOMPARE(modeOf(paths.dataDir()), 0700);
        QCOMPARE(modeOf(paths.recordsFile()), 0600);
        QCOMPARE(modeOf(paths.settingsFile()), 0400);
    }

    void fileLackingAColumnIsRefusedUntouched_data()
    {
        QTest::addColumn<bool>("records");
        QTest::addColumn<QString>("column");
        QTest::newRow("records without T3") << true << QStringLiteral("\"T3\" TEXT");
        QTest::newRow("records without 性别 of the register") << true << QStringLiteral("\"性别\" TEXT");
        QTest::newRow("settings without 竖打6") << false << QStringLiteral("\"竖打6\" TEXT");
    }

    void fileLackingAColumnIsRefusedUntouched()
    {
        QFETCH(bool, records);
        QFETCH(QString, column);
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        QVERIFY(QDir().mkpath(paths.dataDir()));
        const QString file = records ? paths.recordsFile() : paths.settingsFile();
        const QByteArray key = records ? DataStore::kRecordsKey : DataStore::kSettingsKey;
        QStringList lines = QString::fromUtf8(readFile(records ? DataStore::kRecordsSchema : DataStore::kSettingsSchema))
                                .split(u'\n');
        const auto dropped = std::remove_if(lines.begin(), lines.end(),
                                            [&](const QString& line) { return line.trimmed().startsWith(column); });
        QCOMPARE(std::distance(dropped, lines.end()), 1);
        lines.erase(dropped, lines.end());
        QString schema = lines.join(u'\n');
        schema.replace(QRegularExpression(QStringLiteral(",\\s*\\n\\)")), QStringLiteral("\n)"));
        {
            auto db = Database::open(file, key, nullptr, nullptr, true);
            QVERIFY(db);
            QVERIFY2(db->exec(schema.toStdString()), qPrintable(db->lastError()));
            if (records)
                QVERIFY(db->exec("INSERT INTO \"密码\" VALUES ('586')"));
        }
        const QByteArray before = readFile(file);

        DataStore store(paths);
        QVERIFY(!store.open());
        QVERIFY(!store.loginPassword().has_value());
        const QString message = store.startupMessage();
        QVERIFY2(message.contains(QStringLiteral("数据文件“档案数据库/%1”无法打开：文件已损坏").arg(QFileInfo(file).fileName())),
                 qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("未作任何改动")));
        store.close();
        QCOMPARE(readFile(file), before);
    }

    // A stock SQLCipher client checks, vacuums and writes both files, also a settings file that
    // an earlier version wrote with an index in the program's own name order.
    void stockClientReadsAndWritesBothFiles()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("sqlcipher")).isEmpty())
            QSKIP("the sqlcipher shell is not installed (scripts/setup installs it)");
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        {
            DataStore store(paths);
            QVERIFY(store.open());
            QVERIFY(store.settings()->exec("CREATE INDEX \"药品名称\" ON \"药品\" (\"名称\" COLLATE GBK, \"拼音\", \"分类\")"));
        }
        {
            DataStore store(paths);
            QVERIFY(store.open());
            Statement left = store.settings()->prepare("SELECT count(*) FROM sqlite_master WHERE sql LIKE '%COLLATE GBK%'");
            QVERIFY(left.next());
            QCOMPARE(left.integer(0), 0);
            QCOMPARE(count(*store.settings(), "药品"), 245);
        }
        QCOMPARE(shell(paths.settingsFile(), DataStore::kSettingsKey,
                       QStringLiteral("PRAGMA integrity_check; VACUUM; INSERT INTO \"药品\" VALUES ('xy', '新药', '其他'); "
                                      "SELECT count(*) FROM \"药品\";")),
                 QStringLiteral("ok\n246"));
        QCOMPARE(shell(paths.recordsFile(), DataStore::kRecordsKey,
                       QStringLiteral("PRAGMA integrity_check; VACUUM; INSERT INTO \"档案\" (\"0\", \"9\", \"名称\") "
                                      "VALUES ('李四', '2026-12-05', '2026-12-05 09:00:00'); SELECT count(*) FROM \"档案\";")),
                 QStringLiteral("ok\n2"));
        // And the program reads what the client wrote.
        DataStore store(paths);
        QVERIFY(store.open());
        QCOMPARE(count(*store.settings(), "药品"), 246);
    }

    // A records file from an earlier version: its list index of the day, one missing, and one
    // the clinic added itself. Start-up brings ours to the program's and leaves the other alone.
    void earlierIndexesAreBroughtToTheProgramsAtStart()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        auto indexSql = [](Database& db, const char* name) {
            Statement st = db.prepare("SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?");
            st.bind(1, QString::fromUtf8(name));
            return st.next() ? st.text(0) : QString();
        };
        QString wanted;
        {
            DataStore store(paths);
            QVERIFY(store.open());
            wanted = indexSql(*store.records(), "日期姓名");
            QVERIFY(!wanted.isEmpty());
            QVERIFY(store.records()->exec("DROP INDEX \"日期姓名\"; DROP INDEX \"姓名日期\"; "
                                          "CREATE INDEX \"日期姓名\" ON \"档案\" (\"9\", \"0\"); "
                                          "CREATE INDEX \"诊所自建\" ON \"档案\" (\"8\");"));
        }
        DataStore store(paths);
        QVERIFY(store.open());
        QCOMPARE(indexSql(*store.records(), "日期姓名"), wanted);
        QVERIFY(!indexSql(*store.records(), "姓名日期").isEmpty());
        QVERIFY(!indexSql(*store.records(), "诊所自建").isEmpty());
        QCOMPARE(count(*store.records(), "档案"), 1);
    }

    // A program folder whose records file was caught in the middle of a save: pages of the save
    // already in the file, the journal that undoes them beside it.
    static QByteArray makeInterruptedSave(const AppPaths& crashed)
    {
        TempProgramFolder source;
        const AppPaths paths = source.paths();
        {
            DataStore store(paths);
            if (!store.open())
                return {};
            Statement insert = store.records()->prepare(
                "INSERT INTO \"档案\" (\"0\", \"9\", \"名称\", \"T1\") VALUES ('张三', '2026-12-05', ?, ?)");
            for (int i = 0; i < 200; ++i) {
                insert.bindAll(QString::number(i), QString(700, u'药'));
                if (!insert.run())
                    return {};
            }
        }
        auto db = Database::open(paths.recordsFile(), DataStore::kRecordsKey);
        if (!db || !db->exec("PRAGMA cache_size = 2; BEGIN; UPDATE \"档案\" SET \"T1\" = 'x'"))
            return {};
        QDir().mkpath(crashed.dataDir());
        for (const QString& suffix : {QString(), QStringLiteral("-journal")})
            QFile::copy(paths.recordsFile() + suffix, crashed.recordsFile() + suffix);
        QFile::copy(paths.settingsFile(), crashed.settingsFile());
        return readFile(crashed.recordsFile());
    }

    void anInterruptedSaveIsUndoneAndSaid()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        const QByteArray crashed = makeInterruptedSave(paths);
        QVERIFY(!crashed.isEmpty());
        QVERIFY(QFileInfo(paths.recordsFile() + QStringLiteral("-journal")).size() > 0);

        DataStore store(paths);
        QVERIFY(store.open());
        QVERIFY(store.loginPassword().has_value());
        const QString message = store.startupMessage();
        QVERIFY2(message.contains(QStringLiteral("数据文件“档案数据库/档案.dat”中有一次保存因程序意外中断而未完成，已撤销")),
                 qPrintable(message));
        QVERIFY(!message.contains(QStringLiteral("不能登录")));
        Statement st = store.records()->prepare("SELECT count(*) FROM \"档案\" WHERE \"T1\" = 'x'");
        QVERIFY(st.next());
        QCOMPARE(st.integer(0), 0);
        QVERIFY(readFile(paths.recordsFile()) != crashed);
    }

    // The roll-back changes the file even when it cannot finish: nothing may call it untouched.
    void anUndoThatCannotFinishIsNotCalledUntouched()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        QVERIFY(!makeInterruptedSave(paths).isEmpty());
        // The immutable flag keeps the journal from being removed, even for the superuser.
        const auto chattr = [&](const char* flag) {
            return QProcess::execute(QStringLiteral("chattr"), {QString::fromLatin1(flag), paths.dataDir()}) == 0;
        };
        if (!chattr("+i"))
            QSKIP("this file system cannot make a folder read-only for every user");
        DataStore store(paths);
        const bool opened = store.open();
        const QString message = store.startupMessage();
        store.close();
        QVERIFY(chattr("-i"));
        QVERIFY(!opened);
        QVERIFY2(message.contains(QStringLiteral("档案.dat")) && message.contains(QStringLiteral("撤销")), qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("无法读取")), qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("未作任何改动")), qPrintable(message));
    }

    void columnRulesRefuseBadRows_data()
    {
        QTest::addColumn<bool>("records");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("stored");
        const QString archive = QStringLiteral("INSERT INTO \"档案\" (\"0\", \"9\", \"名称\") VALUES (%1, %2, %3)");
        QTest::newRow("prescription ok") << true << archive.arg("'张三'", "'2016-01-03'", "'2016-01-03 08:00:00'") << true;
        QTest::newRow("empty name") << true << archive.arg("''", "'2016-01-03'", "'k'") << false;
        QTest::newRow("no name") << true << archive.arg("NULL", "'2016-01-03'", "'k'") << false;
        QTest::newRow("no date") << true << archive.arg("'张三'", "NULL", "'k'") << false;
        QTest::newRow("not a date") << true << archive.arg("'张三'", "'abc'", "'k'") << false;
        QTest::newRow("no such day") << true << archive.arg("'张三'", "'2016-02-30'", "'k'") << false;
        QTest::newRow("empty key") << true << archive.arg("'张三'", "'2016-01-03'", "''") << false;
        QTest::newRow("name 51 chars") << true << archive.arg("'" + QString(51, u'王') + "'", "'2016-01-03'", "'k'") << false;
        QTest::newRow("name 50 chars") << true << archive.arg("'" + QString(50, u'王') + "'", "'2016-01-03'", "'k'") << true;
        const QString patient = QStringLiteral("INSERT INTO \"患者信息\" (\"序号\", \"出生年月\", \"姓名\", \"性别\") VALUES ('张三zs1990', '1990', '张三', %1)");
        QTest::newRow("patient ok") << true << patient.arg("'男'") << true;
        QTest::newRow("patient empty sex") << true << patient.arg("''") << false;
        QTest::newRow("diagnosis empty code") << false << QStringLiteral("INSERT INTO \"诊断\" VALUES ('感冒', '', '感冒')") << false;
        QTest::newRow("address no key") << false << QStringLiteral("INSERT INTO \"地址\" VALUES ('东村', 'dc', NULL)") << false;
        QTest::newRow("set empty content") << false << QStringLiteral("INSERT INTO \"个人组套\" VALUES ('感冒', '个人组套', 'gm', '')") << false;
        QTest::newRow("set ok") << false << QStringLiteral("INSERT INTO \"个人组套\" VALUES ('感冒', '个人组套', 'gm', 'x')") << true;
        QTest::newRow("drug name 201 chars") << false << QStringLiteral("INSERT INTO \"药品\" VALUES ('a', '%1', '其他')").arg(QString(201, u'a')) << false;
        QTest::newRow("doctor 11 chars") << false << QStringLiteral("UPDATE \"设置\" SET \"医生\" = '%1'").arg(QString(11, u'李')) << false;
        QTest::newRow("doctor empty") << false << QStringLiteral("UPDATE \"设置\" SET \"医生\" = ''") << true;
        QTest::newRow("sheet margin empty") << false << QStringLiteral("UPDATE \"设置\" SET \"左边距\" = ''") << false;
        QTest::newRow("overlay offset empty") << false << QStringLiteral("UPDATE \"设置\" SET \"姓名2\" = ''") << false;
        QTest::newRow("log margin empty") << false << QStringLiteral("UPDATE \"设置\" SET \"左边距6\" = ''") << true;
    }

    void columnRulesRefuseBadRows()
    {
        QFETCH(bool, records);
        QFETCH(QString, sql);
        QFETCH(bool, stored);
        TempProgramFolder folder;
        DataStore store(folder.paths());
        QVERIFY(store.open());
        Database& db = records ? *store.records() : *store.settings();
        Statement st = db.prepare(sql.toStdString());
        QVERIFY2(st.isValid(), qPrintable(st.error()));
        QCOMPARE(st.run(), stored);
        if (!stored)
            QVERIFY(!st.error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(DataStoreTest)
#include "DataStoreTest.moc"
