#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// An ordered list of single-byte (Windows-1251) strings. Strings compare with the user's locale
// (platform/Collation.h): without regard to case unless CaseSensitive is set. Sort orders by that
// comparison and, among strings it finds equal ("Abc" and "ABC"), by their bytes, so a sorted list
// never depends on the order in which its strings were added.
//
// A Sorted list keeps that order: Add inserts at the right place (Duplicates says what happens to a
// string the comparison finds already present), Insert and SetStrings are not allowed. Indexes out
// of range raise EListError "List index out of bounds (%d)".
class TStringList {
public:
    using CompareFunction = std::function<int(const TStringList& list, int index1, int index2)>;

    TStringList() = default;

    int Count() const { return int(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }
    void SetStrings(int index, std::string value);

    int Add(std::string value);
    void Insert(int index, std::string value);
    void Delete(int index);
    void Clear() { m_items.clear(); }
    void Exchange(int index1, int index2);
    // First index whose string the comparison finds equal to `value`, or -1.
    int IndexOf(std::string_view value) const;
    // Binary search of a sorted list: true and the index of an equal string, or false and the
    // index at which `value` would be inserted.
    bool Find(std::string_view value, int& index) const;

    // Every string followed by CR LF.
    std::string Text() const;
    // Replaces the content by the lines of `text` (broken at CR LF, LF or CR; a break at the end
    // does not start another line).
    void SetText(std::string_view text);

    void Sort();
    void CustomSort(const CompareFunction& compare);

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted);
    bool CaseSensitive() const { return m_case_sensitive; }
    void SetCaseSensitive(bool case_sensitive);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates duplicates) { m_duplicates = duplicates; }

    // Negative, zero or positive: the locale comparison the list uses (see above).
    int CompareStrings(std::string_view a, std::string_view b) const;

    std::vector<std::string>::const_iterator begin() const { return m_items.begin(); }
    std::vector<std::string>::const_iterator end() const { return m_items.end(); }
    const std::vector<std::string>& Items() const { return m_items; }

    bool operator==(const TStringList& other) const { return m_items == other.m_items; }

private:
    void CheckIndex(int index) const;

    std::vector<std::string> m_items;
    bool m_sorted { false };
    bool m_case_sensitive { false };
    TDuplicates m_duplicates { TDuplicates::dupIgnore };
};
