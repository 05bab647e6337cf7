#pragma once

#include <QString>

namespace qelvaro {

// The help page the program carries, written out as a local file for the browser. Returns the
// file's path, or the empty text when it could not be written.
QString writeHelpPage();

inline const QString kHelpPageNotWrittenMessage =
    QStringLiteral("帮助页面无法写入临时文件夹，不能打开。");
inline const QString kHelpPageNotOpenedMessage =
    QStringLiteral("无法打开帮助页面，请确认电脑上已安装网页浏览器。");

}  // namespace qelvaro
