#pragma once

#include <QString>

namespace qelvaro {

// The seventeen heading fields of a prescription. A field's index is its place in the field
// arrays, the main window's heading boxes and the stored record's column name ("0".."16").
enum class HeadingField {
    Name = 0,
    Sex,
    Age,
    FeeClass,
    CardNumber,
    Department,
    Address,
    Telephone,
    Diagnosis,
    Date,
    Doctor,
    Dispenser,
    Reviewer,
    DrugFee,
    OtherFee,
    Allergy,
    PastHistory
};
inline constexpr int kHeadingFieldCount = 17;

constexpr int headingIndex(HeadingField field) { return static_cast<int>(field); }

// The stored record's column of a field: "0".."16".
const char* headingFieldColumn(int index);

// Caption of a heading field as the sheet shows it, without the colon ("诊断"); empty outside 0..16.
QString headingFieldName(int index);

}  // namespace qelvaro
