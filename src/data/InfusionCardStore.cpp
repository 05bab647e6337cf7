#include "InfusionCardStore.h"

#include "Database.h"

namespace qelvaro {

namespace {

constexpr std::string_view kReadCard =
    R"(SELECT "T4", "T5", "T6", "T7", "T8" FROM "档案" WHERE "名称" = ? LIMIT 1)";
constexpr std::string_view kWriteCard =
    R"(UPDATE "档案" SET "T4" = ?1, "T5" = ?2, "T6" = ?3, "T7" = ?4, "T8" = ?5 WHERE "名称" = ?6)";

}  // namespace

InfusionCardRead readInfusionCard(Database* records, const QString& key)
{
    InfusionCardRead result;
    if (!records || !records->isOpen())
        return result;
    Statement query = records->prepare(kReadCard);
    query.bind(1, key);
    if (!query.next()) {
        if (query.isValid() && query.ok())
            result.status = InfusionCardRead::Status::NoCard;
        return result;
    }
    StoredInfusionCard stored;
    for (int i = 0; i < int(stored.size()); ++i)
        stored[i] = query.text(i);
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
    Statement update = records->prepare(kWriteCard);
    update.bindAll(stored[0], stored[1], stored[2], stored[3], stored[4], key);
    if (!update.run())
        return InfusionCardWrite::Failed;
    return records->changes() > 0 ? InfusionCardWrite::Written : InfusionCardWrite::NoRecord;
}

}  // namespace qelvaro
