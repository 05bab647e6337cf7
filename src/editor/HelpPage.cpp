#include "HelpPage.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace qelvaro {

QString writeHelpPage()
{
    QFile source(QStringLiteral(":/help/help.html"));
    if (!source.open(QIODevice::ReadOnly))
        return {};
    const QByteArray page = source.readAll();

    const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("qelvaro-help.html"));
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(page) != page.size() || !target.commit())
        return {};
    return path;
}

}  // namespace qelvaro
