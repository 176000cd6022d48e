#include "framework/Exception.h"
#include "framework/TStringList.h"
#include "platform/Cp1251.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;

namespace {

std::vector<std::string> Utf8(const TStringList& list)
{
    std::vector<std::string> items;
    for (const std::string& item : list)
        items.push_back(Cp1251ToUtf8(item));
    return items;
}

TStringList ListOf(std::initializer_list<const char*> utf8)
{
    TStringList list;
    for (const char* text : utf8)
        list.Add(Utf8ToCp1251(text));
    return list;
}

} // namespace

TEST(TStringList, AddInsertDeleteAndIndexes)
{
    TStringList list;
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add("d"), 1);
    list.Insert(0, "a");
    list.Insert(2, "c");
    list.Insert(4, "e");
    EXPECT_THAT(list.Items(), ElementsAre("a", "b", "c", "d", "e"));
    list.Delete(1);
    list.Exchange(0, 3);
    list.SetStrings(1, "C");
    EXPECT_THAT(list.Items(), ElementsAre("e", "C", "d", "a"));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.IndexOf("c"), 1); // without regard to case
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("c"), -1);
    EXPECT_EQ(list.IndexOf("C"), 1);

    for (int bad : { -1, 4 }) {
        try {
            list.Strings(bad);
            ADD_FAILURE() << "read index " << bad;
        } catch (const EListError& error) {
            EXPECT_EQ(error.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
        }
    }
    EXPECT_THROW(list.Insert(5, "x"), EListError);
    EXPECT_THROW(list.Delete(4), EListError);
}

TEST(TStringList, TextJoinsWithCrLfAndSplitsAnyBreak)
{
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour\r\n\r\nsix");
    EXPECT_THAT(list.Items(), ElementsAre("one", "two", "three", "four", "", "six"));
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n");
    list.SetText("a\r\n");
    EXPECT_THAT(list.Items(), ElementsAre("a"));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), "");
}

TEST(TStringList, SortsByLocaleIgnoringCaseThenByBytes)
{
    // Bytes would put every capital first and "Ё" before all; the locale puts "Ёж" beside "ель";
    // "Apple" and "apple" compare equal and are ordered by their bytes. (Whether Latin or Cyrillic
    // comes first is the locale's choice, so the scripts are sorted apart.)
    TStringList cyrillic = ListOf({ "яблоко", "Банан", "абрикос", "Ёж", "ель", "Вишня" });
    cyrillic.Sort();
    EXPECT_THAT(Utf8(cyrillic), ElementsAre("абрикос", "Банан", "Вишня", "Ёж", "ель", "яблоко"));
    TStringList latin = ListOf({ "Zebra", "apple", "Apple", "banana" });
    latin.Sort();
    EXPECT_THAT(latin.Items(), ElementsAre("Apple", "apple", "banana", "Zebra"));

    // The order of a sorted list does not depend on the order of adding, also past the short-list path.
    std::vector<std::string> words;
    for (int i = 0; i < 40; ++i)
        words.push_back(std::string(i % 2 ? "K" : "k") + std::to_string(i % 5));
    TStringList forward;
    TStringList backward;
    for (std::size_t i = 0; i < words.size(); ++i) {
        forward.Add(words[i]);
        backward.Add(words[words.size() - 1 - i]);
    }
    forward.Sort();
    backward.Sort();
    EXPECT_EQ(forward.Items(), backward.Items());
    EXPECT_EQ(forward[0], "K0");
    EXPECT_EQ(forward[39], "k4");
}

TEST(TStringList, SortedListKeepsOrderAndHandlesDuplicates)
{
    TStringList list;
    list.SetSorted(true);
    for (const char* text : { "b", "D", "a", "c", "B" })
        list.Add(text);
    EXPECT_THAT(list.Items(), ElementsAre("a", "b", "c", "D")); // "B" equals "b" and is ignored
    int index = -1;
    EXPECT_TRUE(list.Find("C", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("bb", index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(list.IndexOf("d"), 3);
    EXPECT_THROW(list.Insert(0, "z"), EListError);
    list.SetDuplicates(TDuplicates::dupAccept);
    EXPECT_EQ(list.Add("B"), 1);
    EXPECT_THAT(list.Items(), ElementsAre("a", "B", "b", "c", "D"));
    list.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(list.Add("A"), EListError);
}

TEST(TStringList, CustomSortSurvivesAnInconsistentComparison)
{
    TStringList list;
    for (int i = 0; i < 200; ++i)
        list.Add(std::to_string(i * 7919 % 200));
    list.CustomSort([](const TStringList& l, int a, int b) { return std::stoi(l[a]) - std::stoi(l[b]); });
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(list[i], std::to_string(i));
    int calls = 0;
    list.CustomSort([&](const TStringList&, int, int) { return (++calls % 3) - 1; });
    EXPECT_EQ(list.Count(), 200);
}
