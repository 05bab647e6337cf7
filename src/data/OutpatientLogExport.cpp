#include "OutpatientLogExport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <array>
#include <cstdio>

namespace qelvaro {

namespace {

const std::array<QString, 6> kHeaders{QStringLiteral("姓名"), QStringLiteral("性别"), QStringLiteral("年龄"),
                                      QStringLiteral("诊断"), QStringLiteral("地址（电话）"),
                                      QStringLiteral("就诊日期")};

// Column width in the sheet's character units: a wide (Chinese) character takes two.
double displayWidth(const QString& text)
{
    double width = 0;
    for (const char32_t c : text.toUcs4())
        width += (c >= 0x1100 && c != 0x303F && !(c >= 0xFF61 && c <= 0xFFDC)) ? 2 : 1;
    return width;
}

bool writeSheet(const QByteArray& file, const QList<LogRow>& rows)
{
    lxw_workbook* workbook = workbook_new(file.constData());
    if (!workbook)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* bold = workbook_add_format(workbook);
    bool ok = sheet && bold;
    if (ok) {
        format_set_bold(bold);
        format_set_font_size(bold, 11);
    }
    std::array<double, 6> widths{};
    auto put = [&](lxw_row_t r, lxw_col_t c, const QString& text, lxw_format* format) {
        widths[c] = std::max(widths[c], displayWidth(text));
        // An empty text stays an empty cell.
        if (ok && !text.isEmpty())
            ok = worksheet_write_string(sheet, r, c, text.toUtf8().constData(), format) == LXW_NO_ERROR;
    };
    for (lxw_col_t c = 0; c < kHeaders.size(); ++c)
        put(0, c, kHeaders[c], bold);
    if (ok)
        ok = worksheet_set_row(sheet, 0, LXW_DEF_ROW_HEIGHT, bold) == LXW_NO_ERROR;
    lxw_row_t r = 1;
    for (const LogRow& row : rows) {
        const std::array<const QString*, 6> values{&row.name, &row.sex, &row.age, &row.diagnosis, &row.address,
                                                  &row.date};
        for (lxw_col_t c = 0; c < values.size(); ++c)
            put(r, c, *values[c], nullptr);
        ++r;
        if (!ok)
            break;
    }
    for (lxw_col_t c = 0; ok && c < widths.size(); ++c)
        ok = worksheet_set_column(sheet, c, c, std::min(widths[c] + 2, 100.0), nullptr) == LXW_NO_ERROR;
    // Closing writes the file and frees the workbook, also when the sheet was left unfinished.
    const bool closed = workbook_close(workbook) == LXW_NO_ERROR;
    return ok && closed;
}

}  // namespace

QString workbookPath(const QString& chosen)
{
    return chosen.endsWith(kWorkbookSuffix, Qt::CaseInsensitive) ? chosen : chosen + kWorkbookSuffix;
}

bool writeLogWorkbook(const QString& path, const QList<LogRow>& rows)
{
    const QFileInfo target(path);
    if (target.fileName().isEmpty() || target.isDir())
        return false;
    // Created with mode 0600 under a name of its own in the target's folder, so the patient data
    // is never readable by others and a failed write never touches an existing file.
    QTemporaryFile scratch(target.absolutePath() + QStringLiteral("/.qelvaro-XXXXXX.xlsx"));
    if (!scratch.open())
        return false;
    scratch.close();
    const QString scratchPath = scratch.fileName();
    if (!writeSheet(QFile::encodeName(scratchPath), rows))
        return false;
    if (!QFile::setPermissions(scratchPath, QFile::ReadOwner | QFile::WriteOwner))
        return false;
    // rename() replaces an existing file in one step; QFile::rename would refuse it.
    if (std::rename(QFile::encodeName(scratchPath).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return false;
    scratch.setAutoRemove(false);
    return true;
}

}  // namespace qelvaro
