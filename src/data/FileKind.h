#pragma once

#include <QString>

namespace qelvaro {

// What stands at a path when it is not a plain file, in a word for the doctor ("文件夹", "链接",
// "特殊文件"); empty for a plain file or nothing. A link is told as one unless it is followed.
QString notAPlainFile(const QString& path, bool followLinks);

}  // namespace qelvaro
