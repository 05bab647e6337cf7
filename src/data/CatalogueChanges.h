#pragma once

#include <QObject>
#include <QString>

namespace qelvaro {

// Tells the parts that keep catalogue rows in memory (search indexes, the editor's pickers and
// popups) that the program changed a catalogue table of the settings database. Sent after the
// change is committed; `table` is the stored table name (药品, 诊断, 地址, 个人组套, 病史模板).
class CatalogueChanges : public QObject {
    Q_OBJECT
signals:
    void rowWritten(const QString& table, qint64 rowId);  // inserted or updated
    void rowRemoved(const QString& table, qint64 rowId);
};

}  // namespace qelvaro
