#include "InfusionCardStore.h"

#include "Database.h"
#include "RecordStore.h"

namespace qelvaro {

InfusionCardRead readInfusionCard(Database* records, const QString& key)
{
    InfusionCardRead result;
    if (!records || !records->isOpen())
        return result;
    const CardColumnsRead read = RecordStore(records).cardColumns(key);
    if (read.status != CardColumnsRead::Status::Found) {
        if (read.status == CardColumnsRead::Status::NoRecord)
            result.status = InfusionCardRead::Status::NoCard;
        return result;
    }
    const StoredInfusionCard& stored = read.columns;
    result.status = stored[0].isEmpty() ? InfusionCardRead::Status::NoCard : InfusionCardRead::Status::Saved;
    if (result.status == InfusionCardRead::Status::Saved)
        result.card = decodeInfusionCard(stored);
    return result;
}

InfusionCardWrite writeInfusionCard(Database* records, const QString& key, const InfusionCard& card)
{
    if (!records || !records->isOpen())
        return InfusionCardWrite::Failed;
    const StoredInfusionCard stored = encodeInfusionCard(card);
    switch (RecordStore(records).writeCardColumns(key, stored)) {
    case RecordStore::ColumnsWrite::Written:
        return InfusionCardWrite::Written;
    case RecordStore::ColumnsWrite::NoRecord:
        return InfusionCardWrite::NoRecord;
    case RecordStore::ColumnsWrite::Failed:
        break;
    }
    return InfusionCardWrite::Failed;
}

}  // namespace qelvaro
