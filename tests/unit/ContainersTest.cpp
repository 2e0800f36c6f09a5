#include "core/Array.h"
#include "core/HashTable.h"
#include "core/List.h"
#include "core/Stack.h"
#include "core/Vector.h"
#include <gtest/gtest.h>
#include <string>

namespace {

template <typename Container>
std::string Joined(Container& sequence)
{
    std::string text;
    bool first = true;
    for (const auto& element : sequence) {
        if (!first)
            text += ",";
        first = false;
        if constexpr (std::is_same_v<std::decay_t<decltype(element)>, String>)
            text += element.Text();
        else
            text += std::to_string(element);
    }
    return text;
}

template <typename Container>
void Fill(Container& sequence, std::initializer_list<const char*> texts)
{
    for (const char* text : texts)
        sequence.Append(String(text));
}

// The behaviour every kind shares, run against each of them.
template <typename Container>
class SequenceKinds : public testing::Test {};

using StringKinds = testing::Types<Vector<String>, Array<String>, List<String>>;
class KindNames {
public:
    template <typename T>
    static std::string GetName(int)
    {
        if constexpr (std::is_same_v<T, Vector<String>>)
            return "Vector";
        else if constexpr (std::is_same_v<T, Array<String>>)
            return "Array";
        else
            return "List";
    }
};
TYPED_TEST_SUITE(SequenceKinds, StringKinds, KindNames);

TYPED_TEST(SequenceKinds, InsertClampsAndKeepsOrder)
{
    TypeParam s;
    Fill(s, { "b", "d" });
    s.Insert(1, String("c"));
    s.Insert(-5, String("a"));
    s.Insert(99, String("e"));
    EXPECT_EQ(Joined(s), "a,b,c,d,e");
    EXPECT_EQ(s.Count(), 5);
    EXPECT_STREQ(s.At(4).Text(), "e");
    EXPECT_EQ(s.ElementOrNull(5), nullptr);
    EXPECT_EQ(s.ElementOrNull(-1), nullptr);
}

TYPED_TEST(SequenceKinds, RemoveRangeBounds)
{
    TypeParam s;
    Fill(s, { "a", "b", "c", "d", "e", "f" });
    EXPECT_FALSE(s.RemoveRange(5, 2));
    EXPECT_EQ(s.Count(), 6);
    EXPECT_TRUE(s.RemoveRange(1, 2));
    EXPECT_EQ(Joined(s), "a,d,e,f");
    EXPECT_TRUE(s.RemoveRange(2, 100));
    EXPECT_EQ(Joined(s), "a,d");
    EXPECT_TRUE(s.RemoveRange(-3, 100));
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_FALSE(s.RemoveRange(0, 0));
}

TYPED_TEST(SequenceKinds, RemoveAtAndTakeAt)
{
    TypeParam s;
    Fill(s, { "a", "b", "c", "d" });
    EXPECT_FALSE(s.RemoveAt(4));
    EXPECT_FALSE(s.RemoveAt(-1));
    EXPECT_TRUE(s.RemoveAt(0));
    EXPECT_TRUE(s.RemoveAt(2));
    EXPECT_EQ(Joined(s), "b,c");
    EXPECT_STREQ(s.TakeAt(1).Text(), "c");
    EXPECT_STREQ(s.TakeAt(7).Text(), "");
    EXPECT_EQ(Joined(s), "b");
}

TYPED_TEST(SequenceKinds, ResizeAndCopy)
{
    TypeParam s;
    Fill(s, { "a", "b", "c" });
    s.Resize(5);
    EXPECT_EQ(Joined(s), "a,b,c,,");
    s.Resize(2);
    EXPECT_EQ(Joined(s), "a,b");
    TypeParam copy(s);
    copy.At(0) = "x";
    EXPECT_EQ(Joined(s), "a,b"); // the copy owns its own elements
    EXPECT_EQ(Joined(copy), "x,b");
    EXPECT_EQ(s.AppendAll(s), 2); // appending itself doubles it once
    EXPECT_EQ(Joined(s), "a,b,a,b");
    s.Resize(-1);
    EXPECT_TRUE(s.IsEmpty());
}

TYPED_TEST(SequenceKinds, RotateForward)
{
    TypeParam s;
    Fill(s, { "a", "b", "c" });
    EXPECT_TRUE(s.Rotate(1));
    EXPECT_EQ(Joined(s), "b,c,a");
    EXPECT_FALSE(s.Rotate(3));
    EXPECT_TRUE(s.Rotate(5)); // 5 modulo 3
    EXPECT_EQ(Joined(s), "a,b,c");
    TypeParam one;
    Fill(one, { "a" });
    EXPECT_FALSE(one.Rotate(1));
}

TYPED_TEST(SequenceKinds, RandomElement)
{
    TypeParam s;
    EXPECT_EQ(s.RandomElement(), nullptr);
    Fill(s, { "a" });
    EXPECT_EQ(s.RandomElement(), s.ElementOrNull(0));
    Fill(s, { "b", "c" });
    for (int i = 0; i < 20; ++i)
        EXPECT_NE(s.RandomElement(), nullptr);
}

TEST(Containers, NegativeRotationByKind)
{
    Vector<int32_t> numbers;
    for (int32_t i = 1; i <= 3; ++i)
        numbers.Append(i);
    EXPECT_TRUE(numbers.Rotate(-1));
    EXPECT_EQ(Joined(numbers), "3,1,2");

    List<String> list;
    Fill(list, { "a", "b", "c" });
    EXPECT_TRUE(list.Rotate(-1));
    EXPECT_EQ(Joined(list), "c,a,b");

    Array<String> array;
    Fill(array, { "a", "b", "c" });
    EXPECT_FALSE(array.Rotate(-1));
    EXPECT_EQ(Joined(array), "a,b,c");
}

TEST(Containers, SwapAndMove)
{
    Vector<String> v;
    Fill(v, { "a", "b", "c", "d" });
    EXPECT_TRUE(v.Swap(0, 3));
    EXPECT_FALSE(v.Swap(1, 1));
    EXPECT_FALSE(v.Swap(1, 4));
    EXPECT_EQ(Joined(v), "d,b,c,a");
    v.Move(0, 2);
    EXPECT_EQ(Joined(v), "b,c,d,a");
    v.Move(2, 1); // a >= b: nothing
    v.Move(1, 9);
    EXPECT_EQ(Joined(v), "b,c,d,a");

    Array<String> a;
    Fill(a, { "a", "b", "c" });
    a.Move(0, 2);
    EXPECT_EQ(Joined(a), "b,c,a");
}

TEST(Containers, SortIgnoresCase)
{
    Vector<String> v;
    Fill(v, { "b", "A", "c", "", "B", "ab" });
    auto lowered = [&v] {
        std::string text = Joined(v);
        for (char& c : text)
            c = static_cast<char>(tolower(c));
        return text; // b and B tie, and the sort is not stable
    };
    v.Sort();
    EXPECT_EQ(lowered(), ",a,ab,b,b,c");
    v.Sort(true);
    EXPECT_EQ(lowered(), "c,b,b,ab,a,");

    Array<String> a;
    Fill(a, { "b", "A", "c" });
    a.Sort();
    EXPECT_EQ(Joined(a), "A,b,c");
}

TEST(Containers, ElementsOfClassVectorsNeverMove)
{
    Vector<String> v;
    String* first = v.Append(String("first"));
    for (int i = 0; i < 1000; ++i)
        v.Insert(i % 3 == 0 ? 0 : v.Count(), String("x"));
    String* found = nullptr;
    for (String& s : v) {
        if (s.Text()[0] == 'f')
            found = &s;
    }
    EXPECT_EQ(first, found);
}

TEST(Containers, FrontInsertionOfIntegersUsesTheFrontGap)
{
    Vector<int32_t> v;
    int moves = 0;
    for (int32_t i = 0; i < 1000; ++i) {
        int32_t capacity = v.Capacity();
        int32_t* oldFirst = v.ElementOrNull(0);
        v.Insert(0, i);
        // Without a reallocation the old first element stays put when the front gap
        // takes the new one; only a re-centring moves it.
        if (oldFirst && v.Capacity() == capacity && v.ElementOrNull(1) != oldFirst)
            ++moves;
    }
    EXPECT_EQ(v.Count(), 1000);
    for (int32_t i = 0; i < 1000; ++i)
        ASSERT_EQ(v.At(i), 999 - i);
    // Re-centring leaves a quarter of the free slots in front, so it is needed only
    // when that gap is used up: a small share of the insertions.
    EXPECT_GT(moves, 0);
    EXPECT_LT(moves, 200);
}

struct CapacityCase {
    const char* name;
    int32_t count;
    int32_t capacity;
};

class VectorGrowth : public testing::TestWithParam<CapacityCase> {};

TEST_P(VectorGrowth, IntegersGrowByThePreferredCapacity)
{
    Vector<int32_t> v;
    for (int32_t i = 0; i < GetParam().count; ++i)
        v.Append(i);
    EXPECT_EQ(v.Capacity(), GetParam().capacity);
}

// Preferred capacity for n: 6 while 3n < 14, else 3n/2, but n + 2048 once 3n/2 slots of
// 4 bytes pass 8,192 bytes. Growth happens when the block is full.
INSTANTIATE_TEST_SUITE_P(, VectorGrowth,
    testing::Values(CapacityCase{ "OneElement", 1, 6 },
                    CapacityCase{ "SixFit", 6, 6 },
                    CapacityCase{ "SeventhGrows", 7, 10 },
                    CapacityCase{ "EleventhGrows", 11, 16 },
                    CapacityCase{ "LastThreeHalves", 1596, 1596 },
                    CapacityCase{ "PastEightKiBAdds2048", 1597, 3645 },
                    CapacityCase{ "Then2048Again", 3646, 5694 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Containers, ResizeOfIntegersZeroFillsAndShrinksLargeBlocks)
{
    Vector<int32_t> v;
    v.Append(7);
    v.Resize(3);
    EXPECT_EQ(Joined(v), "7,0,0");
    v.Resize(100000);
    int32_t large = v.Capacity();
    EXPECT_GE(large, 100000);
    v.Resize(10);
    EXPECT_LT(v.Capacity(), large);
    EXPECT_EQ(v.At(0), 7);
    EXPECT_EQ(v.Count(), 10);
}

TEST(Containers, ClassVectorReserveShrinksOnlyLargeSlack)
{
    Vector<String> v;
    v.Resize(4000);
    int32_t capacity = v.Capacity();
    EXPECT_EQ(capacity, 6000); // n + n/2
    v.Resize(900);
    EXPECT_EQ(v.Capacity(), 1350); // over 500 and under a quarter: cut to n + n/2
    v.Resize(400);
    EXPECT_EQ(v.Capacity(), 1350); // 500 or fewer: kept
}

TEST(Containers, ListPushPopAndBackwardIteration)
{
    List<String> list;
    list.PushBack(String("b"));
    list.PushFront(String("a"));
    list.PushBack(String("c"));
    SequenceCursor cursor;
    std::string backward;
    for (String* s = list.Last(cursor); s; s = list.Previous(cursor))
        backward += s->Text();
    EXPECT_EQ(backward, "cba");
    EXPECT_STREQ(list.PopFront().Text(), "a");
    EXPECT_STREQ(list.PopBack().Text(), "c");
    EXPECT_STREQ(list.PopBack().Text(), "b");
    EXPECT_STREQ(list.PopBack().Text(), "");
    EXPECT_FALSE(list.RemoveNode(nullptr));
    Fill(list, { "1", "2", "3", "4", "5" });
    EXPECT_EQ(list.RemoveFirst(2), 2);
    EXPECT_EQ(list.RemoveLast(9), 3);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
}

TEST(Containers, HashTableKeysAreCaseSensitive)
{
    HashTable<uint8_t> table;
    EXPECT_FALSE(table.Insert(String("ABC"), 1)); // no buckets yet
    EXPECT_EQ(table.BucketOf(String("ABC")), static_cast<int32_t>(0x80000000u));
    table.SetBucketCount(40);
    EXPECT_TRUE(table.Insert(String("ABC"), 1));
    EXPECT_TRUE(table.Insert(String("abc"), 2));
    EXPECT_FALSE(table.Insert(String("ABC"), 3)); // overwritten
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(table.Find(String("ABC"))->Value(), 3);
    EXPECT_EQ(table.Find(String("Abc")), nullptr);
}

TEST(Containers, HashTableChainRunsNewestToOldest)
{
    HashTable<uint8_t> table;
    table.SetBucketCount(3);
    const char* keys[] = { "one", "two", "three", "four", "five" };
    for (const char* key : keys)
        table.Insert(String(key), 0);
    std::string order;
    for (auto* entry = table.Newest(); entry; entry = entry->Older())
        order += std::string(entry->Key().Text()) + " ";
    EXPECT_EQ(order, "five four three two one ");
    order.clear();
    for (auto* entry = table.Oldest(); entry; entry = entry->Newer())
        order += std::string(entry->Key().Text()) + " ";
    EXPECT_EQ(order, "one two three four five ");

    HashTable<uint8_t> copy(table);
    EXPECT_EQ(copy.Count(), 5);
    EXPECT_STREQ(copy.Newest()->Key().Text(), "five");

    table.SetBucketCount(7);
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Newest(), nullptr);
    EXPECT_TRUE(table.Insert(String("one"), 0)); // the old entries went with their chains
}

TEST(Containers, HashTableBucketIsTheChecksumModuloCount)
{
    HashTable<uint8_t> table;
    table.SetBucketCount(40);
    // "abcd": 0x79E2BC9D + 0x64636261 + 4 = 0xDE461F02.
    EXPECT_EQ(table.BucketOf(String("abcd")), static_cast<int32_t>(0xDE461F02u % 40));
    // "abc": the three bytes count one by one, then the length.
    EXPECT_EQ(table.BucketOf(String("abc")), static_cast<int32_t>(0x79E2BDC6u % 40));
}

TEST(Containers, StackPushTopPop)
{
    Stack<int32_t> stack;
    EXPECT_EQ(stack.Top(), nullptr);
    stack.Push(1);
    stack.Push(2);
    EXPECT_EQ(*stack.Top(), 2);
    EXPECT_EQ(stack.Pop(), 2);
    EXPECT_EQ(stack.Pop(), 1);
    EXPECT_TRUE(stack.IsEmpty());
}

TEST(TypeName, ReadsAsWritten)
{
    EXPECT_STREQ(TypeNameOf<String>().Text(), "String");
    EXPECT_STREQ(TypeNameOf<int>().Text(), "int");
    EXPECT_STREQ(TypeNameOf<int32_t>().Text(), "int");
    EXPECT_STREQ(TypeNameOf<Array<String>>().Text(), "Array<String>");
    EXPECT_STREQ(TypeNameOf<const char*>().Text(), "const char*");
}

using ContainersDeathTest = testing::Test;

TEST(ContainersDeathTest, CheckedAccessNamesTheElementType)
{
    Array<String> three;
    Fill(three, { "a", "b", "c" });
    EXPECT_EXIT(three.At(3), testing::ExitedWithCode(1), "FATAL ERROR\nVector<String>\\[3\\]\nmax_index = 2");
    Array<String> empty;
    EXPECT_EXIT(empty.At(0), testing::ExitedWithCode(1), "Vector<String>\\[0\\]\nmax_index = -1");
    Vector<int32_t> numbers;
    EXPECT_EXIT(numbers.At(-1), testing::ExitedWithCode(1), "Vector<int>\\[-1\\]\nmax_index = -1");
    Vector<Array<String>> nested;
    nested.AppendNew();
    EXPECT_EXIT(nested.At(1), testing::ExitedWithCode(1), "Vector<Array<String>>\\[1\\]\nmax_index = 0");
    List<String> list;
    EXPECT_EXIT(list.At(0), testing::ExitedWithCode(1), "Vector<String>\\[0\\]");
}

TEST(ContainersDeathTest, PoppingAnEmptyStack)
{
    Stack<String> strings;
    EXPECT_EXIT(strings.Pop(), testing::ExitedWithCode(1), "FATAL ERROR\nStack<String>::pop");
    Stack<int32_t> numbers;
    EXPECT_EXIT(numbers.Pop(), testing::ExitedWithCode(1), "Stack<int>::pop");
}

struct UnsupportedCase {
    const char* name;
    void (*operation)();
    int line;
};

class ContainersUnsupported : public testing::TestWithParam<UnsupportedCase> {};

TEST_P(ContainersUnsupported, IsAnInternalFatalError)
{
    std::string expected = "Internal Fatal Error\r\nModule: core\r\nLine: " + std::to_string(GetParam().line);
    EXPECT_EXIT(GetParam().operation(), testing::ExitedWithCode(1), expected);
}

INSTANTIATE_TEST_SUITE_P(, ContainersUnsupported,
    testing::Values(
        UnsupportedCase{ "VectorIteratesOnlyForward", [] { Vector<String> v; SequenceCursor c; v.Last(c); }, 5991 },
        UnsupportedCase{ "ArrayHasNoPrevious", [] { Array<String> a; SequenceCursor c; a.Previous(c); }, 5992 },
        UnsupportedCase{ "ListHasNoSlotsToSwap", [] { List<String> l; l.Swap(0, 1); }, 2613 },
        UnsupportedCase{ "ListHasNoSlotsToMove", [] { List<String> l; l.Move(0, 1); }, 2614 },
        UnsupportedCase{ "ListCannotSort", [] { List<String> l; l.Sort(); }, 5988 },
        UnsupportedCase{ "IntegersAreNotSorted", [] { Vector<int32_t> v; v.Sort(); }, 5988 }),
    [](const auto& info) { return std::string(info.param.name); });

}
