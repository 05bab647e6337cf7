#include "SettingsCopy.h"

#include "Database.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>

namespace qelvaro {
namespace {

using Values = SettingsCopy::Values;

// The text columns held as typed. Caption, width and whether the empty text is allowed only word
// the reason for a refused store; the database itself decides what it takes.
struct TextColumn {
    const char* column;
    QString Values::*field;
    const char* caption;
    int width;
    bool mayBeEmpty;
};

const TextColumn kTextColumns[] = {
    {"名称", &Values::clinicName, "医疗机构名称", 50, true},
    {"医生", &Values::doctor, "医生", 10, true},
    {"配药", &Values::dispenser, "配药", 10, true},
    {"复核", &Values::reviewer, "复核", 10, true},
    {"科别", &Values::department, "默认科别", 50, true},
    {"费别", &Values::feeClass, "默认费别", 50, false},
    {"左边距", &Values::sheetLeft, "处方左边距", 50, false},
    {"上边距", &Values::sheetTop, "处方上边距", 50, false},
    {"左边距1", &Values::cardLeft, "注射卡左边距", 50, false},
    {"上边距1", &Values::cardTop, "注射卡上边距", 50, false},
    {"左边距5", &Values::overlayLeft, "套打左边距", 50, true},
    {"上边距5", &Values::overlayTop, "套打上边距", 50, true},
    {"大小", &Values::fontSize, "字体大小", 50, false},
    {"字体", &Values::fontName, "处方字体", 50, false},
};

const char kPortraitColumn[] = "竖打";

// What the controls show before anything is read, and so whenever the row cannot be read.
Values designValues()
{
    Values v;
    v.sheetLeft = v.cardLeft = v.overlayLeft = QStringLiteral("120");
    v.sheetTop = v.cardTop = v.overlayTop = QStringLiteral("200");
    v.fontSize = QStringLiteral("11");
    v.fontName = QStringLiteral("宋体");
    v.portrait = false;
    return v;
}

QString quoted(const QString& column) { return u'"' + column + u'"'; }

// Offsets are kept as numbers, whatever was typed.
QString storedNumber(const QString& text) { return shortestDecimal(numericValue(text)); }

qsizetype characters(const QString& text) { return text.toUcs4().size(); }

// Why the database refused the row, in the doctor's words: the first value that breaks its rule.
QString refusalReason(const Values& v)
{
    for (const TextColumn& c : kTextColumns) {
        const QString& value = v.*c.field;
        const QString caption = QString::fromUtf8(c.caption);
        if (!c.mayBeEmpty && value.isEmpty())
            return QStringLiteral("“%1”不能为空，设置未保存。").arg(caption);
        if (characters(value) > c.width)
            return QStringLiteral("“%1”最多只能填写%2个字，设置未保存。").arg(caption).arg(c.width);
        if (!isStorableText(value))
            return QStringLiteral("“%1”中有无法保存的字符，设置未保存。").arg(caption);
    }
    return QStringLiteral("设置中有不符合要求的内容，设置未保存。");
}

}  // namespace

const QStringList& SettingsCopy::overlayItemNames()
{
    static const QStringList names = QString::fromUtf8(
        "姓名 性别 年龄 费别 医疗证号 住址|电话 临床诊断 日期(年) 医生 配药 复核 药费 其他收费 "
        "处方正文 科别 女(划掉男) 男(划掉女) 日期(月) 日期(日) 日期 过敏史 既往史 电话").split(u' ');
    return names;
}

SettingsCopy::SettingsCopy(Database* settings, QObject* parent) : QObject(parent), m_db(settings) {}

const SettingsCopy::Values& SettingsCopy::values()
{
    if (!m_loaded)
        load();
    return m_values;
}

SettingsCopy::Values& SettingsCopy::edit()
{
    if (!m_loaded)
        load();
    return m_values;
}

void SettingsCopy::load()
{
    Values v = designValues();
    if (m_db) {
        Statement row = m_db->prepare("SELECT * FROM \"设置\" LIMIT 1");
        if (row.next()) {
            // A value that is missing leaves its control at the design value.
            for (const TextColumn& c : kTextColumns) {
                if (!row.isNull(c.column))
                    v.*c.field = row.text(c.column);
            }
            // Only an exact "0" is landscape; a missing value is portrait.
            v.portrait = row.text(kPortraitColumn) != QStringLiteral("0");
            const QStringList& names = overlayItemNames();
            for (int i = 0; i < kOverlayItemCount; ++i) {
                const QByteArray flag = (names[i] + u'1').toUtf8();
                const QByteArray left = (names[i] + u'2').toUtf8();
                const QByteArray top = (names[i] + u'3').toUtf8();
                OverlayItem& item = v.overlay[size_t(i)];
                if (!row.isNull(flag.toStdString())) {
                    // A tick box holds 0, 1 or 2; any other whole number leaves it unticked.
                    const double tick = std::nearbyint(numericValue(row.text(flag.toStdString())));
                    item.printed = tick == 1;
                    item.greyed = tick == 2;
                }
                if (!row.isNull(left.toStdString()))
                    item.left = storedNumber(row.text(left.toStdString()));
                if (!row.isNull(top.toStdString()))
                    item.top = storedNumber(row.text(top.toStdString()));
            }
        }
    }
    m_values = std::move(v);
    m_loaded = true;
    emit loaded();
}

bool SettingsCopy::save(QString* error)
{
    const Values& v = values();
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!m_db)
        return fail(QStringLiteral("设置数据库未打开，设置未保存。"));

    QStringList assignments;
    QStringList params;
    for (const TextColumn& c : kTextColumns) {
        assignments << quoted(QString::fromUtf8(c.column)) + QStringLiteral(" = ?");
        params << v.*c.field;
    }
    assignments << quoted(QString::fromUtf8(kPortraitColumn)) + QStringLiteral(" = ?");
    params << (v.portrait ? QStringLiteral("1") : QStringLiteral("0"));
    const QStringList& names = overlayItemNames();
    for (int i = 0; i < kOverlayItemCount; ++i) {
        const OverlayItem& item = v.overlay[size_t(i)];
        assignments << quoted(names[i] + u'1') + QStringLiteral(" = ?") << quoted(names[i] + u'2') + QStringLiteral(" = ?")
                    << quoted(names[i] + u'3') + QStringLiteral(" = ?");
        params << (item.printed  ? QStringLiteral("1")
                   : item.greyed ? QStringLiteral("2")
                                 : QStringLiteral("0"))
               << storedNumber(item.left)
               << storedNumber(item.top);
    }

    // A character the store cannot carry is refused by the binding, not by a column rule.
    if (!std::all_of(params.cbegin(), params.cend(), isStorableText))
        return fail(refusalReason(v));

    // One statement, so the row takes every value or none.
    const QByteArray sql = (QStringLiteral("UPDATE \"设置\" SET ") + assignments.join(QStringLiteral(", "))
                            + QStringLiteral(" WHERE rowid = (SELECT rowid FROM \"设置\" LIMIT 1)"))
                               .toUtf8();
    Statement update = m_db->prepare(sql.toStdString());
    for (int i = 0; i < params.size(); ++i)
        update.bind(i + 1, params[i]);
    if (!update.run()) {
        if (update.error().contains(QStringLiteral("constraint"), Qt::CaseInsensitive))
            return fail(refusalReason(v));
        return fail(QStringLiteral("设置未能写入数据库，设置未保存。"));
    }
    if (m_db->changes() == 0)
        return fail(QStringLiteral("找不到设置记录，设置未保存。"));

    const QString name = v.clinicName;
    emit clinicNameSaved(name);
    unload();
    return true;
}

void SettingsCopy::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    m_values = Values();
    emit unloaded();
}

namespace {

// Only the suffixes of the windows that keep print settings; the column names are built from it.
bool isKnownSuffix(int suffix)
{
    return suffix == 3 || suffix == 4 || suffix == 6;
}

}  // namespace

std::optional<OwnPrintSettings> readOwnPrintSettings(Database* settings, int suffix)
{
    if (!settings || !settings->isOpen() || !isKnownSuffix(suffix))
        return std::nullopt;
    const QString n = QString::number(suffix);
    const QByteArray sql = QStringLiteral("SELECT \"左边距%1\", \"上边距%1\", \"竖打%1\" FROM \"设置\" LIMIT 1").arg(n).toUtf8();
    Statement row = settings->prepare(sql.toStdString());
    if (!row.next())
        return std::nullopt;
    return OwnPrintSettings{row.text(0), row.text(1), row.text(2)};
}

bool writeOwnPrintSettings(Database* settings, int suffix, const OwnPrintSettings& values, bool withOrientation)
{
    if (!settings || !settings->isOpen() || !isKnownSuffix(suffix))
        return false;
    const QString n = QString::number(suffix);
    QString sql = QStringLiteral("UPDATE \"设置\" SET \"左边距%1\" = ?, \"上边距%1\" = ?").arg(n);
    if (withOrientation)
        sql += QStringLiteral(", \"竖打%1\" = ?").arg(n);
    sql += QStringLiteral(" WHERE rowid = (SELECT rowid FROM \"设置\" LIMIT 1)");
    Statement update = settings->prepare(sql.toUtf8().toStdString());
    update.bind(1, values.left).bind(2, values.top);
    if (withOrientation)
        update.bind(3, values.orientation);
    return update.run() && settings->changes() == 1;
}

std::optional<QString> readStoredClinicName(Database* settings)
{
    if (!settings || !settings->isOpen())
        return std::nullopt;
    Statement row = settings->prepare(R"(SELECT "名称" FROM "设置" ORDER BY rowid LIMIT 1)");
    if (!row.next())
        return std::nullopt;
    return row.text("名称");
}

}  // namespace qelvaro
