#pragma once

#include <array>
#include <cstddef>

namespace qelvaro {

// The enums that key the main window's tables list their values 0, 1, 2 ... and end with a Count
// enumerator, so that a count cannot fall out of step with its list.
template <typename Enum>
inline constexpr int enumCount = int(Enum::Count);

// Whether a table has exactly one row per value of Enum, row i naming value i in its member slot.
// A value added without its row leaves a value-initialised row at the end, naming value 0, so a
// static_assert on this fails for it as for a row out of order.
template <typename Enum, typename Row, std::size_t N>
constexpr bool oneRowPerValue(const std::array<Row, N>& rows, Enum Row::*slot)
{
    if (N != std::size_t(enumCount<Enum>))
        return false;
    for (std::size_t i = 0; i < N; ++i)
        if (rows[i].*slot != Enum(i))
            return false;
    return true;
}

// One element per value of Enum, reached by that value only, never by a plain number.
template <typename Enum, typename T>
class EnumArray {
public:
    T& operator[](Enum value) { return m_items.at(std::size_t(value)); }
    const T& operator[](Enum value) const { return m_items.at(std::size_t(value)); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::array<T, enumCount<Enum>> m_items{};
};

}  // namespace qelvaro
