// The item scanner over a typed line, and reading items as doubles.
#include "textio/input_context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "textio/last_error.h"

namespace {

struct ScannedItem {
    std::string bytes;
    bool floating;
    bool operator==(const ScannedItem&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ScannedItem& item) {
    return os << '"' << item.bytes << '"' << (item.floating ? " (floating)" : "");
}

void SetLine(const std::string& line) {
    textio::ResetInputContext();
    textio::CurrentInputContext().text = line;
}

// Scans until the line is used up (at most `limit` items).
std::vector<ScannedItem> ScanAll(const std::string& line, int limit = 10) {
    SetLine(line);
    std::vector<ScannedItem> items;
    while (limit-- > 0 &&
           static_cast<size_t>(textio::CurrentInputContext().position) < line.size()) {
        const textio::Item item = textio::NextItem();
        items.push_back({std::string(item.bytes, static_cast<size_t>(item.length)), item.floating});
    }
    return items;
}

struct ScanCase {
    const char* name;
    std::string line;
    std::vector<ScannedItem> expected;
};

class ScannerCases : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScannerCases, SplitsTheLineIntoItems) {
    EXPECT_EQ(ScanAll(GetParam().line), GetParam().expected) << GetParam().name;
}

const ScanCase kCases[] = {
    {"plain number", "0.3127", {{"0.3127", true}}},
    {"integer has no floating mark", "42", {{"42", false}}},
    {"blanks around are skipped", "  \t0.3127  ", {{"0.3127", true}}},
    {"comma ends the first item", "0,3127", {{"0", false}, {"3127", false}}},
    {"blank ends the item, next starts after blanks", "1 2", {{"1", false}, {"2", false}}},
    {"blank then comma is one separator", "1  ,2", {{"1", false}, {"2", false}}},
    {"quotes are dropped", "\"0.5\"", {{"0.5", true}}},
    {"quoted comma is kept", "\"0,5\"", {{"0,5", false}}},
    {"quoted blanks are kept", "\"a b\",c", {{"a b", false}, {"c", false}}},
    {"quote inside an item is stored", "ab\"c", {{"ab\"c", false}}},
    {"D exponent becomes E", "1D3", {{"1E3", true}}},
    {"d exponent becomes e", "2.5d-1", {{"2.5e-1", true}}},
    {"after & no floating mark and D kept", "&HDE.e", {{"&HDE.e", false}}},
    {"byte 255 is an ordinary character",
     "1\xFF"
     "2",
     {{"1\xFF"
       "2",
       false}}},
    {"line feed ends the item", "12\n34", {{"12", false}, {"34", false}}},
    {"carriage return and line feed end it", "12\r\n34", {{"12", false}, {"34", false}}},
    {"lone carriage return ends it", "12\r34", {{"12", false}, {"34", false}}},
    {"empty item between commas", "1,,2", {{"1", false}, {"", false}, {"2", false}}},
    {"trailing garbage stays in the item", "0.3127abc", {{"0.3127abc", true}}},
};

INSTANTIATE_TEST_SUITE_P(Line, ScannerCases, ::testing::ValuesIn(kCases));

TEST(Scanner, ItemsStopAt67BytesAndTheRestStartsTheNextItem) {
    const std::string digits(70, '7');
    const auto items = ScanAll(digits);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].bytes, std::string(67, '7'));
    EXPECT_EQ(items[1].bytes, "777");
}

TEST(Scanner, ItemOf67FollowedByACommaConsumesTheComma) {
    const auto items = ScanAll(std::string(67, '1') + ",2");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].bytes, "2");
}

TEST(Scanner, EmptyAndBlankLinesGiveTheEmptyItem) {
    for (const std::string& line : {std::string(), std::string("   "), std::string("\t \t")}) {
        SetLine(line);
        const textio::Item item = textio::NextItem();
        EXPECT_EQ(item.length, 0);
        EXPECT_EQ(item.bytes[0], '\0');
    }
}

TEST(Scanner, NextCharAndPutBack) {
    SetLine("ab");
    EXPECT_EQ(textio::NextChar(), 'a');
    EXPECT_EQ(textio::NextChar(), 'b');
    EXPECT_EQ(textio::NextChar(), textio::kEndOfText);
    EXPECT_EQ(textio::NextChar(), textio::kEndOfText);
    textio::PutBackChar();
    EXPECT_EQ(textio::NextChar(), 'b');
    SetLine("x");
    textio::PutBackChar();  // at 0 nothing moves
    EXPECT_EQ(textio::CurrentInputContext().position, 0);
}

struct ReadCase {
    std::string line;
    double first;
};

TEST(InputReadDouble, ReadsTheFirstItemOfTheLine) {
    const ReadCase cases[] = {
        {"0.3127", 0.3127}, {"  0.3127  ", 0.3127}, {"0.3127abc", 0.3127}, {"", 0.0},
        {"1 2", 1.0},       {"\"0.5\"", 0.5},       {"\"0,5\"", 0.0},      {"0,3127", 0.0},
        {"-0.25", -0.25},   {"&H1F", 31.0},         {"1D2", 100.0},        {"abc", 0.0},
    };
    for (const ReadCase& c : cases) {
        SetLine(c.line);
        double value = -99.0;
        textio::SetLastError(7);
        textio::InputReadDouble(&value);
        EXPECT_EQ(value, c.first) << c.line;
        EXPECT_EQ(textio::LastError(), 0);
    }
}

TEST(InputReadDouble, PastTheEndYieldsZero) {
    SetLine("5");
    double a = 0, b = -1;
    textio::InputReadDouble(&a);
    textio::InputReadDouble(&b);
    EXPECT_EQ(a, 5.0);
    EXPECT_EQ(b, 0.0);
}

}  // namespace
