#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <numeric>

#include "host/Json.h"

namespace {

using Json = nlohmann::json;

std::string jsonString(std::string_view text) {
    std::string out;
    host::appendJsonString(out, text);
    return out;
}

std::string number(double value) {
    std::string out;
    host::appendJsonNumber(out, value);
    return out;
}

TEST(JsonTest, ValidTextReadsBackAsWrittenWhateverCharactersItHolds) {
    std::string everyAscii(0x80, '\0');
    std::iota(everyAscii.begin(), everyAscii.end(), '\0');
    for (const std::string& text :
         {everyAscii, std::string("say \"hi\" \\ \"bye\""), std::string("Café – ♫ 𝄞")}) {
        const std::string written = jsonString(text);
        EXPECT_EQ(Json::parse(written), text) << written;
    }
    EXPECT_EQ(jsonString("a\n\x01\x7f"), R"("a\n\u0001\u007f")");
}

TEST(JsonTest, EachInvalidUtf8SequenceBecomesAReplacementCharacter) {
    // Which bytes are ill-formed is the UTF-8 reader's to say (its own tests list them);
    // here each ill-formed part is replaced once and the text around it kept.
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(jsonString("a\x80z\xE2\x82x\xE2\x82"), "\"a" + r + "z" + r + "x" + r + "\"");
    EXPECT_EQ(jsonString("\xC0\xAF\xF4\x90\x80\x80"), "\"" + r + r + r + r + r + r + "\"");
}

TEST(JsonTest, NumbersAreShortestExactAndNullWhenJsonCannotHoldThem) {
    const std::vector<std::pair<double, std::string>> cases = {
        {320, "320"},      {0.1, "0.1"},  {-12.5, "-12.5"},   {-0.0, "0"},
        {1e300, "1e+300"}, {NAN, "null"}, {HUGE_VAL, "null"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(number(value), expected) << value;
    }
    EXPECT_EQ(Json::parse(number(1.0 / 3)), 1.0 / 3);
}

} // namespace
