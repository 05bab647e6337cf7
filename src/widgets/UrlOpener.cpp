#include "UrlOpener.h"

#include <QDesktopServices>

namespace qelvaro {

bool DesktopUrlOpener::open(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace qelvaro
