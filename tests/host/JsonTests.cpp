#include <gtest/gtest.h>

#include <cmath>

#include "Json.h"

namespace {

std::string jsonQuoted(std::string_view text) {
    std::string out;
    host::appendJsonString(out, text);
    return out;
}

std::string number(double value) {
    std::string out;
    host::appendJsonNumber(out, value);
    return out;
}

TEST(JsonStringTest, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(jsonQuoted("say \"hi\" \\ bye"), R"("say \"hi\" \\ bye")");
    EXPECT_EQ(jsonQuoted("a\nb\tc\rd\be\ff"), R"("a\nb\tc\rd\be\ff")");
    EXPECT_EQ(jsonQuoted(std::string("\x01\x1f\x7f", 3)), R"("\u0001\u001f\u007f")");
    EXPECT_EQ(jsonQuoted(std::string("nul\0in", 6)), R"("nul\u0000in")");
}

TEST(JsonStringTest, KeepsValidUtf8AndReplacesEveryInvalidSequence) {
    EXPECT_EQ(jsonQuoted("Sigur Rós – ♫ 𝄞"), "\"Sigur Rós – ♫ 𝄞\"");
    // A lone continuation byte, a truncated sequence at the end, an overlong
    // slash, an encoded surrogate and a value past U+10FFFF.
    EXPECT_EQ(jsonQuoted("a\x80z"), "\"a\xEF\xBF\xBDz\"");
    EXPECT_EQ(jsonQuoted("end\xE2\x82"), "\"end\xEF\xBF\xBD\"");
    EXPECT_EQ(jsonQuoted("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(jsonQuoted("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(jsonQuoted("\xF4\x90\x80\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
    // A truncated sequence followed by ASCII keeps the ASCII.
    EXPECT_EQ(jsonQuoted("\xE2\x82x"), "\"\xEF\xBF\xBDx\"");
}

TEST(JsonNumberTest, WritesShortestExactFormsAndNullForWhatJsonCannotHold) {
    EXPECT_EQ(number(320), "320");
    EXPECT_EQ(number(0.1), "0.1");
    EXPECT_EQ(number(-12.5), "-12.5");
    EXPECT_EQ(number(-0.0), "0");
    EXPECT_EQ(number(1e300), "1e+300");
    EXPECT_EQ(number(std::nan("")), "null");
    EXPECT_EQ(number(HUGE_VAL), "null");
}

TEST(JsonWriterTest, PlacesCommasInNestedContainers) {
    host::JsonWriter json;
    json.beginObject();
    json.key("a").number(1);
    json.key("list").beginArray().number(1).string("two").beginObject().endObject().null().endArray();
    json.key("empty").beginArray().endArray();
    json.key("ok").boolean(true);
    json.key("raw").raw(R"({"x":1})");
    json.endObject();
    EXPECT_EQ(json.text(), R"({"a":1,"list":[1,"two",{},null],"empty":[],"ok":true,"raw":{"x":1}})");
}

} // namespace
