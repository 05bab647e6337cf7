#pragma once

#include "InfusionCardFormat.h"

namespace qelvaro {

class Database;

struct InfusionCardRead {
    enum class Status {
        NoCard,  // no row with the key, or a row whose T4 is empty: the card is still to be made
        Saved,
        Failed,  // the records could not be read; nothing is known about a stored card
    };
    Status status = Status::Failed;
    InfusionCard card;
};

enum class InfusionCardWrite { Written, NoRecord, Failed };

// The card stored in the record with this key (columns T4..T8 of 档案).
InfusionCardRead readInfusionCard(Database* records, const QString& key);

// Rewrites all five card columns of the record with this key, nothing else of the row.
InfusionCardWrite writeInfusionCard(Database* records, const QString& key, const InfusionCard& card);

}  // namespace qelvaro
