#include "DataStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <future>

namespace qelvaro {
namespace {

QString displayName(const QString& path)
{
    return QStringLiteral("“档案数据库/") + QFileInfo(path).fileName() + QStringLiteral("”");
}

bool hasTables(const Database& db, const QStringList& tables)
{
    for (const QString& table : tables) {
        Statement st = db.prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
        st.bind(1, table);
        if (!st.next())
            return false;
    }
    return true;
}

}  // namespace

bool writeTemplateFile(const QString& templateResource, const QString& target, QString* reason)
{
    QFile source(templateResource);
    if (!source.open(QIODevice::ReadOnly)) {
        *reason = QStringLiteral("程序缺少数据模板");
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        *reason = QStringLiteral("文件夹不可写入");
        return false;
    }
    const QByteArray bytes = source.readAll();
    if (out.write(bytes) != bytes.size() || !out.commit()) {
        *reason = QStringLiteral("写入失败（磁盘已满或不可写入）");
        return false;
    }
    return true;
}

DataStore::DataStore(AppPaths paths) : m_paths(std::move(paths)) {}

DataStore::~DataStore() { close(); }

namespace {

struct PreparedFile {
    std::unique_ptr<Database> db;
    QString problem;
};

// Writes the file from its template when it is missing, then opens it. Safe to run on another
// thread: it touches nothing but its own file and connection.
PreparedFile prepareFile(const QString& path, const QString& templateResource, const QByteArray& key,
                         const QStringList& tables)
{
    PreparedFile result;
    const QFileInfo info(path);
    // A dangling link counts as present: following it to write the template is not ours to do.
    if (!info.exists() && !info.isSymLink()) {
        QString reason;
        if (!writeTemplateFile(templateResource, path, &reason)) {
            result.problem = QStringLiteral("无法创建数据文件%1：%2。").arg(displayName(path), reason);
            return result;
        }
    }
    const QString damaged = QStringLiteral("数据文件%1无法打开：文件已损坏，或不是本程序的数据文件。").arg(displayName(path));
    Database::OpenError error = Database::OpenError::None;
    result.db = Database::open(path, key, &error);
    switch (error) {
    case Database::OpenError::None:
        // An empty or foreign file opens as a database without our tables; it must not be
        // written into as if it were ours.
        if (!hasTables(*result.db, tables)) {
            result.problem = damaged;
            result.db.reset();
        }
        break;
    case Database::OpenError::NoEncryption:
        result.problem = QStringLiteral("数据库组件不支持加密，无法打开数据文件%1。").arg(displayName(path));
        break;
    case Database::OpenError::NotADatabase:
        result.problem = damaged;
        break;
    case Database::OpenError::Missing:
    case Database::OpenError::Unreadable:
        result.problem = QStringLiteral("数据文件%1无法读取：请检查文件是否存在及读写权限。").arg(displayName(path));
        break;
    }
    return result;
}

}  // namespace

bool DataStore::open()
{
    m_records.reset();
    m_settings.reset();
    m_problems.clear();
    m_warnings.clear();
    m_loginPassword.reset();

    if (!QDir().mkpath(m_paths.dataDir())) {
        m_problems << QStringLiteral("无法创建数据文件夹“%1”。").arg(QDir::toNativeSeparators(m_paths.dataDir()));
    } else {
        // The key derivation takes most of the start-up time, so the settings file is opened
        // beside the records file; start-up waits for both before it goes on.
        auto settings = std::async(std::launch::async, prepareFile, m_paths.settingsFile(), kSettingsTemplate,
                                   kSettingsKey,
                                   QStringList{QStringLiteral("药品"), QStringLiteral("个人组套"), QStringLiteral("病史模板"),
                                               QStringLiteral("诊断"), QStringLiteral("地址"), QStringLiteral("设置")});
        PreparedFile records = prepareFile(m_paths.recordsFile(), kRecordsTemplate, kRecordsKey,
                                           {QStringLiteral("档案"), QStringLiteral("患者信息"), QStringLiteral("密码")});
        PreparedFile settingsFile = settings.get();
        for (PreparedFile* file : {&records, &settingsFile})
            if (!file->problem.isEmpty())
                m_problems << file->problem;
        // The files open for reading when they cannot be written (permissions): the doctor can
        // look, but every save would fail, so it is said now rather than at the first save.
        const bool folderWritable = QFileInfo(m_paths.dataDir()).isWritable();
        for (const PreparedFile* file : {&records, &settingsFile}) {
            if (file->db && (file->db->isReadOnly() || !folderWritable))
                m_warnings << QStringLiteral("数据文件%1不能写入：处方、设置和密码将无法保存。")
                                  .arg(displayName(file->db->path()));
        }
        m_records = std::move(records.db);
        m_settings = std::move(settingsFile.db);
    }

    if (m_records) {
        Statement st = m_records->prepare("SELECT \"密码\" FROM \"密码\" LIMIT 1");
        if (st.next() && !st.isNull(0))
            m_loginPassword = st.text(0);
        else
            m_problems << QStringLiteral("无法读取登录密码。");
    }
    // Fail closed: with any part of the data unusable nobody is admitted.
    if (!m_problems.isEmpty())
        m_loginPassword.reset();
    return m_problems.isEmpty();
}

QString DataStore::startupMessage() const
{
    if (m_problems.isEmpty() && m_warnings.isEmpty())
        return QString();
    QString text = QStringLiteral("启动时发现以下问题：\n\n") + (m_problems + m_warnings).join(u'\n');
    if (!m_problems.isEmpty())
        text += QStringLiteral("\n\n数据文件保持原样，未作任何改动。问题解决之前，程序不能登录。");
    return text;
}

void DataStore::close()
{
    // The connections close, the objects stay: windows that still hold them get a clean refusal
    // ("database is closed") instead of a dangling pointer.
    if (m_records)
        m_records->close();
    if (m_settings)
        m_settings->close();
}

}  // namespace qelvaro
