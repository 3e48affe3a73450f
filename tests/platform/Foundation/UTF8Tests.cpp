#include <gtest/gtest.h>

#include "Foundation/NSUTF8.h"

namespace {

TEST(UTF8Test, RepairReplacesEachIllFormedSubpartOnce) {
    const std::string fffd(NSUTF8ReplacementCharacter);
    const struct {
        std::string input;
        std::string repaired;
    } cases[] = {
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5 \xF4\x8F\xBF\xBF",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5 \xF4\x8F\xBF\xBF"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"caf\xC3", "caf" + fffd},
        {"\xE2\x82", fffd},
        {"\xF0\x9F\x8E", fffd},
        {"\xE2\x82x", fffd + "x"},
        {"\xF0\x9F\x8E\xE2\x82\xAC", fffd + "\xE2\x82\xAC"},
        {"\xC0\xAF", fffd + fffd},
        {"\xC1\xBF", fffd + fffd},
        {"\xE0\x80\xAF", fffd + fffd + fffd},
        {"\xF0\x80\x80\xAF", fffd + fffd + fffd + fffd},
        {"\xED\xA0\x80", fffd + fffd + fffd},
        {"\xED\xBF\xBF", fffd + fffd + fffd},
        {"\xED\x9F\xBF", "\xED\x9F\xBF"},
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},
        {"\xF5\x80", fffd + fffd},
        {"\xFE\xFF", fffd + fffd},
        {"\x80\xBF", fffd + fffd},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(NSRepairUTF8(test.input), test.repaired) << ::testing::PrintToString(test.input);
    }
}

TEST(UTF8Test, HexDigitValueTakesBothCasesAndRejectsTheirNeighbours) {
    const std::pair<char, int> cases[] = {{'0', 0},  {'9', 9},  {'a', 10},  {'f', 15},   {'A', 10},
                                          {'F', 15}, {'/', -1}, {':', -1},  {'`', -1},   {'g', -1},
                                          {'@', -1}, {'G', -1}, {'\0', -1}, {'\xC3', -1}};
    for (const auto& [digit, value] : cases) {
        EXPECT_EQ(NSHexDigitValue(digit), value) << static_cast<int>(digit);
    }
}

} // namespace
