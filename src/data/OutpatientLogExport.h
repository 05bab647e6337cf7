#pragma once

#include "OutpatientLog.h"

#include <QList>
#include <QString>

namespace qelvaro {

inline const QString kExportDoneMessage = QStringLiteral("文件导出成功！");
inline const QString kExportFailedMessage = QStringLiteral("文件导出失败！");
inline const QString kWorkbookSuffix = QStringLiteral(".xlsx");

// The name the workbook is written under: the chosen name, with the workbook suffix added when
// it does not end in it already.
QString workbookPath(const QString& chosen);

// Writes the visits as a workbook at path: the six column headers in bold 11 point on row 1, one
// visit a row below, every column as wide as its longest text. The file is written beside its
// final name and renamed into place only when complete, readable by its owner only; an existing
// file is replaced only by a complete one. False, with nothing left behind, when it fails.
bool writeLogWorkbook(const QString& path, const QList<LogRow>& rows);

}  // namespace qelvaro
