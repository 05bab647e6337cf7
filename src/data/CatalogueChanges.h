#pragma once

#include <QObject>

namespace qelvaro {

// The catalogue tables of the settings database: 药品, 诊断, 地址, 个人组套, 病史模板.
enum class CatalogueTable { Drugs, Diagnoses, Addresses, Sets, Templates };

// Tells the windows that show catalogue rows (the main window's template list) that the program
// changed a catalogue table. Sent after the change is committed. The search indexes are kept
// current by the stores themselves, not through this.
class CatalogueChanges : public QObject {
    Q_OBJECT
signals:
    void rowWritten(qelvaro::CatalogueTable table, qint64 rowId);  // inserted or updated
    void rowRemoved(qelvaro::CatalogueTable table, qint64 rowId);
};

}  // namespace qelvaro
