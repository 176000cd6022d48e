#include "framework/TStringList.h"

#include "framework/Exception.h"
#include "platform/Collation.h"

#include <algorithm>
#include <bit>
#include <numeric>

namespace {

// Quicksort of the index range [left, right] of `order` by `less`: Hoare partitioning around the
// middle element, recursing into the smaller side only so the stack stays shallow. A range that
// keeps partitioning badly (deeper than twice log2 of the count) is finished by heap sort, so no
// input makes the sort quadratic.
template<typename Less>
void QuickSort(std::vector<int>& order, int left, int right, int depth_left, const Less& less)
{
    while (left < right) {
        if (depth_left-- <= 0) {
            auto first = order.begin() + left;
            auto last = order.begin() + right + 1;
            std::make_heap(first, last, less);
            std::sort_heap(first, last, less);
            return;
        }
        int i = left;
        int j = right;
        int pivot = order[std::size_t(left + (right - left) / 2)];
        while (i <= j) {
            // The bounds only matter for a CustomSort comparison that contradicts itself.
            while (i < right && less(order[std::size_t(i)], pivot))
                ++i;
            while (j > left && less(pivot, order[std::size_t(j)]))
                --j;
            if (i <= j) {
                std::swap(order[std::size_t(i)], order[std::size_t(j)]);
                ++i;
                --j;
            }
        }
        if (j - left < right - i) {
            QuickSort(order, left, j, depth_left, less);
            left = i;
        } else {
            QuickSort(order, i, right, depth_left, less);
            right = j;
        }
    }
}

template<typename Less>
void SortIndexes(std::vector<std::string>& items, const Less& less)
{
    if (items.size() < 2)
        return;
    std::vector<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    int depth = 2 * int(std::bit_width(items.size()));
    QuickSort(order, 0, int(order.size()) - 1, depth, less);
    std::vector<std::string> sorted;
    sorted.reserve(items.size());
    for (int index : order)
        sorted.push_back(std::move(items[std::size_t(index)]));
    items = std::move(sorted);
}

} // namespace

const std::string& TStringList::Strings(int index) const
{
    CheckIndex(index);
    return m_items[std::size_t(index)];
}

void TStringList::SetStrings(int index, std::string value)
{
    if (m_sorted)
        throw EListError("Operation not allowed on sorted list");
    CheckIndex(index);
    m_items[std::size_t(index)] = std::move(value);
}

int TStringList::Add(std::string value)
{
    if (!m_sorted) {
        m_items.push_back(std::move(value));
        return Count() - 1;
    }
    int index = 0;
    if (Find(value, index)) {
        if (m_duplicates == TDuplicates::dupIgnore)
            return index;
        if (m_duplicates == TDuplicates::dupError)
            throw EListError("String list does not allow duplicates");
    }
    // Among equal strings the order of Sort holds: by bytes.
    while (index < Count() && CompareStrings(m_items[std::size_t(index)], value) == 0 && m_items[std::size_t(index)] < value)
        ++index;
    m_items.insert(m_items.begin() + index, std::move(value));
    return index;
}

void TStringList::Insert(int index, std::string value)
{
    if (m_sorted)
        throw EListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EListError(Format("List index out of bounds (%d)", index));
    m_items.insert(m_items.begin() + index, std::move(value));
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    m_items.erase(m_items.begin() + index);
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(m_items[std::size_t(index1)], m_items[std::size_t(index2)]);
}

int TStringList::IndexOf(std::string_view value) const
{
    if (m_sorted) {
        int index = 0;
        return Find(value, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i) {
        if (CompareStrings(m_items[std::size_t(i)], value) == 0)
            return i;
    }
    return -1;
}

bool TStringList::Find(std::string_view value, int& index) const
{
    int low = 0;
    int high = Count() - 1;
    bool found = false;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        int result = CompareStrings(m_items[std::size_t(middle)], value);
        if (result < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (result == 0)
                found = true; // keep going left: the first of several equal strings
        }
    }
    index = low;
    return found;
}

std::string TStringList::Text() const
{
    std::string text;
    for (const std::string& item : m_items) {
        text += item;
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(pos));
            break;
        }
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    m_items = std::move(lines);
    if (m_sorted) {
        m_sorted = false;
        SetSorted(true);
    }
}

void TStringList::Sort()
{
    const Collation& collation = Collation::UserDefault(m_case_sensitive ? Collation::Case::Consider : Collation::Case::Ignore);
    auto by_bytes = [&](int a, int b) { return m_items[std::size_t(a)] < m_items[std::size_t(b)]; };
    if (m_items.size() <= 8) {
        // A short list takes few comparisons; comparing directly is cheaper than making keys.
        SortIndexes(m_items, [&](int a, int b) {
            int result = collation.Compare(m_items[std::size_t(a)], m_items[std::size_t(b)]);
            return result != 0 ? result < 0 : by_bytes(a, b);
        });
        return;
    }
    // Sort keys are made once per string, all in one buffer: a sort compares each string about
    // log2(n) times.
    std::string arena;
    std::vector<std::pair<std::size_t, std::size_t>> keys;
    keys.reserve(m_items.size());
    for (const std::string& item : m_items) {
        std::size_t start = arena.size();
        keys.emplace_back(start, collation.AppendSortKey(item, arena));
    }
    auto key = [&](int index) {
        auto [start, size] = keys[std::size_t(index)];
        return std::string_view(arena).substr(start, size);
    };
    SortIndexes(m_items, [&](int a, int b) {
        int result = key(a).compare(key(b));
        return result != 0 ? result < 0 : by_bytes(a, b);
    });
}

void TStringList::CustomSort(const CompareFunction& compare)
{
    if (m_sorted)
        throw EListError("Operation not allowed on sorted list");
    SortIndexes(m_items, [&](int a, int b) { return compare(*this, a, b) < 0; });
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !m_sorted)
        Sort();
    m_sorted = sorted;
}

void TStringList::SetCaseSensitive(bool case_sensitive)
{
    if (case_sensitive == m_case_sensitive)
        return;
    m_case_sensitive = case_sensitive;
    if (m_sorted)
        Sort();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const
{
    return m_case_sensitive ? Collation::CompareStr(a, b) : Collation::CompareText(a, b);
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", index));
}
