#include "SearchIndex.h"

#include "Database.h"
#include "Gbk.h"
#include "TextRules.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace qelvaro {
namespace {

// The same order as the drug searches' SQL. Rows without a name or a code are kept for the drug
// window's lists; the editor's search skips them.
constexpr std::string_view kDrugRows =
    R"(SELECT rowid, "名称", "拼音", "分类" FROM "药品" ORDER BY "名称" COLLATE GBK, "拼音", "分类", rowid)";
constexpr std::string_view kDrugRow = R"(SELECT rowid, "名称", "拼音", "分类" FROM "药品" WHERE rowid = ?1)";
constexpr std::string_view kPatientRows =
    R"(SELECT rowid, "序号", "姓名", "出生年月" FROM "患者信息" WHERE "序号" IS NOT NULL ORDER BY rowid)";
constexpr std::string_view kPatientRowsOfKey =
    R"(SELECT rowid, "序号", "姓名", "出生年月" FROM "患者信息" WHERE "序号" = ?1)";

constexpr std::string_view kRecordNames = R"(SELECT DISTINCT "0" FROM "档案" WHERE "0" IS NOT NULL)";

// The rows the record list can show: those with a name (the list's condition) and a visit date.
constexpr std::string_view kListedRecords =
    R"(SELECT rowid, "名称", "9", typeof("9") = 'text' FROM "档案" WHERE "0" IS NOT NULL AND "9" IS NOT NULL)";
constexpr std::string_view kLastRecordRowId = R"(SELECT max(rowid) FROM "档案")";
constexpr qint64 kMostRowsReserved = 4'000'000;
constexpr qint64 kSessionRows = 4096;
// A key as the program writes it and its length byte.
constexpr size_t kReservedKeyBytes = 20;
constexpr std::string_view kListedRecordsOfKey =
    R"(SELECT rowid, "名称", "9", typeof("9") = 'text' FROM "档案"
       WHERE "名称" = ?1 AND "0" IS NOT NULL AND "9" IS NOT NULL)";

QByteArray bytes(const Statement& st, int column)
{
    return st.text(column).toUtf8();
}

int compareBytes(const QByteArray& a, const QByteArray& b)
{
    return QByteArrayView(a).compare(QByteArrayView(b));
}

}  // namespace

QByteArray foldedForSearch(QByteArrayView utf8)
{
    const qsizetype nul = utf8.indexOf('\0');
    if (nul >= 0)
        utf8 = utf8.first(nul);
    QByteArray folded(utf8.data(), utf8.size());
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return folded;
}

quint64 recordKeyNumber(std::string_view key)
{
    static constexpr char kForm[] = "0000-00-00 00:00:00";
    if (key.size() != sizeof kForm - 1)
        return 0;
    quint64 number = 0;
    for (size_t i = 0; i < key.size(); ++i) {
        if (kForm[i] == '0') {
            if (key[i] < '0' || key[i] > '9')
                return 0;
            number = number * 10 + quint64(key[i] - '0');
        } else if (key[i] != kForm[i]) {
            return 0;
        }
    }
    return number;
}

// ---- ContainmentIndex -----------------------------------------------------------------------

const char* findPart(const char* from, const char* end, QByteArrayView part)
{
    const qsizetype n = part.size();
    if (n == 0 || end - from < n)
        return n == 0 ? from : nullptr;
    const char* p = from;
#ifdef __SSE2__
    // Bit i of the mask is set where both the part's first byte stands at p + i and its last byte
    // at p + i + n - 1; only those places are compared in full.
    const __m128i first = _mm_set1_epi8(part.front());
    const __m128i last = _mm_set1_epi8(part.back());
    for (; end - p >= n - 1 + 16; p += 16) {
        const __m128i atFirst = _mm_cmpeq_epi8(first, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        const __m128i atLast = _mm_cmpeq_epi8(last, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 1)));
        for (unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(atFirst, atLast))); mask; mask &= mask - 1) {
            const char* candidate = p + __builtin_ctz(mask);
            if (n <= 2 || std::memcmp(candidate + 1, part.data() + 1, size_t(n - 2)) == 0)
                return candidate;
        }
    }
#endif
    return static_cast<const char*>(memmem(p, size_t(end - p), part.data(), size_t(n)));
}

void ContainmentIndex::reserve(qsizetype entries, qsizetype bytes)
{
    m_starts.reserve(size_t(entries));
    m_text.reserve(size_t(bytes));
}

void ContainmentIndex::insert(int position, QByteArrayView folded)
{
    const qsizetype start = position < size() ? m_starts[size_t(position)] : qsizetype(m_text.size());
    const qsizetype length = folded.size() + 1;
    m_text.insert(size_t(start), folded.data(), size_t(folded.size()));
    m_text.insert(size_t(start + folded.size()), 1, '\0');
    for (size_t i = size_t(position); i < m_starts.size(); ++i)
        m_starts[i] += length;
    m_starts.insert(m_starts.begin() + position, start);
}

void ContainmentIndex::remove(int position)
{
    const qsizetype start = m_starts[size_t(position)];
    const qsizetype end = position + 1 < size() ? m_starts[size_t(position) + 1] : qsizetype(m_text.size());
    m_text.erase(size_t(start), size_t(end - start));
    m_starts.erase(m_starts.begin() + position);
    for (size_t i = size_t(position); i < m_starts.size(); ++i)
        m_starts[i] -= end - start;
}

// ---- DrugIndex ------------------------------------------------------------------------------

bool DrugIndex::before(const Row& a, const Row& b)
{
    // A missing value sorts first, as NULL does in SQL.
    if (a.hasName != b.hasName)
        return !a.hasName;
    if (const int c = gbkCompare(a.name.constData(), int(a.name.size()), b.name.constData(), int(b.name.size())))
        return c < 0;
    if (a.hasCode != b.hasCode)
        return !a.hasCode;
    if (const int c = compareBytes(a.code, b.code))
        return c < 0;
    if (a.hasCategory != b.hasCategory)
        return !a.hasCategory;
    if (const int c = compareBytes(a.category, b.category))
        return c < 0;
    return a.rowId < b.rowId;
}

DrugIndex::Row DrugIndex::readRow(const Statement& st)
{
    Row row{st.integer(0), bytes(st, 1), bytes(st, 2), bytes(st, 3), {}, {}, !st.isNull(1), !st.isNull(2), !st.isNull(3)};
    row.shownName = QString::fromUtf8(row.name);
    row.foldedCategory = foldedForSearch(row.category);
    return row;
}

bool DrugIndex::sameName(const Row& a, const Row& b)
{
    return a.hasName == b.hasName
           && (a.name == b.name
               || gbkCompare(a.name.constData(), int(a.name.size()), b.name.constData(), int(b.name.size())) == 0);
}

void DrugIndex::markName(size_t position)
{
    if (position < m_rows.size())
        m_nameAsBefore[position] = position > 0 && sameName(m_rows[position - 1], m_rows[position]);
}

bool DrugIndex::load(Database& settings)
{
    m_rows.clear();
    m_nameAsBefore.clear();
    m_codes = ContainmentIndex();
    m_categories = ContainmentIndex();
    Statement st = settings.prepare(kDrugRows);
    while (st.next()) {
        Row row = readRow(st);
        m_codes.append(foldedForSearch(row.code));
        m_categories.append(row.foldedCategory);
        m_rows.push_back(std::move(row));
        m_nameAsBefore.push_back(0);
        markName(m_rows.size() - 1);
    }
    return st.ok();
}

void DrugIndex::remove(qint64 rowId)
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].rowId == rowId) {
            m_rows.erase(m_rows.begin() + qsizetype(i));
            m_nameAsBefore.erase(m_nameAsBefore.begin() + qsizetype(i));
            m_codes.remove(int(i));
            m_categories.remove(int(i));
            markName(i);
            return;
        }
    }
}

void DrugIndex::insert(Row row)
{
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row, before);
    const int position = int(at - m_rows.begin());
    m_codes.insert(position, foldedForSearch(row.code));
    m_categories.insert(position, row.foldedCategory);
    m_rows.insert(at, std::move(row));
    m_nameAsBefore.insert(m_nameAsBefore.begin() + position, 0);
    markName(size_t(position));
    markName(size_t(position) + 1);
}

void DrugIndex::refresh(Database& settings, qint64 rowId)
{
    remove(rowId);
    Statement st = settings.prepare(kDrugRow);
    st.bind(1, rowId);
    if (st.next())
        insert(readRow(st));
}

std::vector<DrugIndex::Match> DrugIndex::search(const QString& typed, const QString& caption, int limit) const
{
    std::vector<Match> found;
    if (limit <= 0)
        return found;
    const QByteArray part = foldedForSearch(typed.toUtf8());
    const QByteArray captionPart = foldedForSearch(caption.toUtf8());
    const bool anyCategory = caption.isEmpty();
    m_codes.forEachContaining(part, [&](int position) {
        const Row& row = m_rows[size_t(position)];
        if (!row.hasName || !row.hasCode)
            return true;
        if (!anyCategory && !(row.hasCategory && row.foldedCategory.contains(captionPart)))
            return true;
        found.push_back({row.rowId, row.shownName});
        return int(found.size()) < limit;
    });
    return found;
}

std::vector<DrugIndex::Match> DrugIndex::byNameThenRowId(std::vector<int> positions) const
{
    // The rows are kept by name, code, category and rowid; a run of equal names is put in rowid order.
    // Equal names lie together, so two listed rows share a name when every row up to the later
    // one holds the name of the row before it.
    const auto sameName = [this](int a, int b) {
        for (int k = a + 1; k <= b; ++k)
            if (!m_nameAsBefore[size_t(k)])
                return false;
        return true;
    };
    for (size_t i = 0; i < positions.size();) {
        size_t j = i + 1;
        while (j < positions.size() && sameName(positions[j - 1], positions[j]))
            ++j;
        if (j - i > 1) {
            std::sort(positions.begin() + qsizetype(i), positions.begin() + qsizetype(j),
                      [this](int a, int b) { return m_rows[size_t(a)].rowId < m_rows[size_t(b)].rowId; });
        }
        i = j;
    }
    std::vector<Match> found;
    found.reserve(positions.size());
    for (const int position : positions)
        found.push_back({m_rows[size_t(position)].rowId, m_rows[size_t(position)].shownName});
    return found;
}

std::vector<DrugIndex::Match> DrugIndex::withCode(const QString& typed) const
{
    std::vector<int> positions;
    // A row without a code is held as an empty entry, which only an empty text finds.
    const bool checkCode = typed.isEmpty();
    m_codes.forEachContaining(foldedForSearch(typed.toUtf8()), [&](int position) {
        if (!checkCode || m_rows[size_t(position)].hasCode)
            positions.push_back(position);
        return true;
    });
    return byNameThenRowId(std::move(positions));
}

std::vector<DrugIndex::Match> DrugIndex::containingCategory(const QString& caption, bool namedOnly) const
{
    std::vector<int> positions;
    const bool checkCategory = caption.isEmpty();
    m_categories.forEachContaining(foldedForSearch(caption.toUtf8()), [&](int position) {
        const Row& row = m_rows[size_t(position)];
        if ((!checkCategory || row.hasCategory) && (!namedOnly || row.hasName))
            positions.push_back(position);
        return true;
    });
    return byNameThenRowId(std::move(positions));
}

std::vector<DrugIndex::Match> DrugIndex::ofCategory(const QString& caption) const
{
    std::vector<int> positions;
    const QByteArray wanted = caption.toUtf8();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].hasCategory && m_rows[i].category == wanted)
            positions.push_back(int(i));
    }
    return byNameThenRowId(std::move(positions));
}

// ---- PatientIndex ---------------------------------------------------------------------------

bool PatientIndex::load(Database& records)
{
    m_rowIds.clear();
    m_names.clear();
    m_birthYears.clear();
    m_plainBirthYears.clear();
    m_keys = ContainmentIndex();
    Statement st = records.prepare(kPatientRows);
    while (st.next()) {
        m_rowIds.push_back(st.integer(0));
        m_keys.append(foldedForSearch(bytes(st, 1)));
        m_names.push_back(st.text(2));
        m_birthYears.push_back(st.text(3));
        m_plainBirthYears.push_back(plainDigits(m_birthYears.back()).value_or(-1));
    }
    return st.ok();
}

void PatientIndex::put(qint64 rowId, const QByteArray& key, QString name, QString birthYear)
{
    const auto at = std::lower_bound(m_rowIds.begin(), m_rowIds.end(), rowId);
    const size_t position = size_t(at - m_rowIds.begin());
    if (at != m_rowIds.end() && *at == rowId) {
        m_keys.remove(int(position));
        m_keys.insert(int(position), foldedForSearch(key));
        m_names[qsizetype(position)] = std::move(name);
        m_plainBirthYears[position] = plainDigits(birthYear).value_or(-1);
        m_birthYears[position] = std::move(birthYear);
        return;
    }
    m_rowIds.insert(at, rowId);
    m_keys.insert(int(position), foldedForSearch(key));
    m_names.insert(qsizetype(position), std::move(name));
    m_plainBirthYears.insert(m_plainBirthYears.begin() + qsizetype(position), plainDigits(birthYear).value_or(-1));
    m_birthYears.insert(m_birthYears.begin() + qsizetype(position), std::move(birthYear));
}

void PatientIndex::refresh(Database& records, const QString& key)
{
    Statement st = records.prepare(kPatientRowsOfKey);
    st.bind(1, key);
    while (st.next())
        put(st.integer(0), bytes(st, 1), st.text(2), st.text(3));
}

std::vector<int> PatientIndex::search(const QString& typed) const
{
    std::vector<int> found;
    m_keys.forEachContaining(foldedForSearch(typed.toUtf8()), [&](int position) {
        found.push_back(position);
        return true;
    });
    return found;
}

// ---- NameIndex ------------------------------------------------------------------------------

bool NameIndex::load(Database& records)
{
    m_names.clear();
    m_known.clear();
    m_folded = ContainmentIndex();
    Statement st = records.prepare(kRecordNames);
    while (st.next())
        add(st.text(0));
    return st.ok();
}

void NameIndex::add(const QString& name)
{
    if (m_known.contains(name))
        return;
    m_known.insert(name);
    m_names.push_back(name);
    m_folded.append(foldedForSearch(name.toUtf8()));
}

std::optional<QStringList> NameIndex::containing(const QString& typed, int most) const
{
    QStringList found;
    bool tooMany = false;
    m_folded.forEachContaining(foldedForSearch(typed.toUtf8()), [&](int position) {
        if (found.size() >= most) {
            tooMany = true;
            return false;
        }
        found.append(m_names[size_t(position)]);
        return true;
    });
    if (tooMany)
        return std::nullopt;
    return found;
}

// ---- RecordOrderIndex ---------------------------------------------------------------------

int RecordOrderIndex::dayNumber(int year, int month, int day)
{
    return year >= 1000 && year <= 9999 ? year * 10000 + month * 100 + day : 0;
}

std::string_view RecordOrderIndex::key(const Row& row) const
{
    return std::string_view(m_keys).substr(row.keyOffset + 1, size_t(quint8(m_keys[row.keyOffset])));
}

bool RecordOrderIndex::before(const Row& a, const Row& b) const
{
    // Keys compared as SQL compares text, by their UTF-8 bytes.
    const int c = compareRecordKeys(a.keyNumber, key(a), b.keyNumber, key(b));
    return c != 0 ? c < 0 : a.rowId < b.rowId;
}

quint32 RecordOrderIndex::keepKey(std::string_view key)
{
    const auto offset = quint32(m_keys.size());
    m_keys.push_back(char(quint8(key.size())));
    m_keys.append(key);
    return offset;
}

bool RecordOrderIndex::add(std::string_view key, qint64 rowId, std::string_view date, bool isText)
{
    // A date of another form or type compares otherwise in SQL than its number here; a key
    // longer than its length byte holds (no key the program stores) is not kept either.
    const auto digit = [&](size_t i) { return date[i] >= '0' && date[i] <= '9'; };
    if (!isText || date.size() != 10 || date[4] != '-' || date[7] != '-' || key.size() > 255)
        return false;
    int day = 0;
    for (size_t i = 0; i < 10; ++i) {
        if (i == 4 || i == 7)
            continue;
        if (!digit(i))
            return false;
        day = day * 10 + (date[i] - '0');
    }
    if (day < 10000000)
        return false;
    m_rows.push_back({rowId, recordKeyNumber(key), keepKey(key), day});
    return true;
}

bool RecordOrderIndex::load(Database& records)
{
    m_rows.clear();
    m_keys.clear();
    // Room for as many rows as the largest rowid tells (within reason) and the saves of a long
    // session beyond: growing a million rows step by step costs as much as reading them, and the
    // first save after the load must not move them all on the window's thread. What stays unused
    // is never touched.
    Statement last = records.prepare(kLastRecordRowId);
    if (last.next()) {
        const qint64 rows = std::clamp<qint64>(last.integer(0), 0, kMostRowsReserved);
        m_rows.reserve(size_t(rows + rows / 8 + kSessionRows));
        m_keys.reserve(size_t(rows + rows / 8 + kSessionRows) * kReservedKeyBytes);
    }
    Statement st = records.prepare(kListedRecords);
    while (st.next()) {
        if (!add(st.utf8(1), st.integer(0), st.utf8(2), st.integer(3) != 0))
            return false;
    }
    if (!st.ok())
        return false;
    std::sort(m_rows.begin(), m_rows.end(), [this](const Row& a, const Row& b) { return before(a, b); });
    return true;
}

bool RecordOrderIndex::refresh(Database& records, const QString& keyText)
{
    const QByteArray utf8 = keyText.toUtf8();
    const std::string_view wanted(utf8.constData(), size_t(utf8.size()));
    const auto byKey = [this](const Row& row, std::string_view k) { return key(row) < k; };
    const auto first = std::lower_bound(m_rows.begin(), m_rows.end(), wanted, byKey);
    auto last = first;
    while (last != m_rows.end() && key(*last) == wanted)
        ++last;
    m_rows.erase(first, last);

    Statement st = records.prepare(kListedRecordsOfKey);
    st.bind(1, keyText);
    const size_t kept = m_rows.size();
    while (st.next()) {
        if (!add(st.utf8(1), st.integer(0), st.utf8(2), st.integer(3) != 0))
            return false;
    }
    if (!st.ok())
        return false;
    // The rows read are put in their places, few as they are.
    const std::vector<Row> fresh(m_rows.begin() + qsizetype(kept), m_rows.end());
    m_rows.resize(kept);
    for (const Row& row : fresh) {
        m_rows.insert(std::upper_bound(m_rows.begin(), m_rows.end(), row,
                                       [this](const Row& a, const Row& b) { return before(a, b); }),
                      row);
    }
    return true;
}

std::optional<QList<qint64>> RecordOrderIndex::between(int fromDay, int toDay) const
{
    if (fromDay == 0 || toDay == 0)
        return std::nullopt;
    QList<qint64> ids;
    for (auto row = m_rows.rbegin(); row != m_rows.rend(); ++row) {
        if (row->day >= fromDay && row->day <= toDay)
            ids.push_back(row->rowId);
    }
    return ids;
}

}  // namespace qelvaro
