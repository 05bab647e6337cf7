#include "OwnPrintSettings.h"

#include "Database.h"

namespace qelvaro {

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

}  // namespace qelvaro
