// One-decimal output and leading-number input of the dialog's edits.
#include "dialog/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>

#include "support/float_control.h"

namespace {

std::string one_decimal(float value) {
    char text[number_text_size];
    format_one_decimal(value, text);
    return text;
}

// The value, or "invalid" when the text must not be stored.
std::string parsed_float(const char* text) {
    double value = -12345.0;
    if (!parse_float_text(text, &value)) return "invalid";
    char out[64];
    std::snprintf(out, sizeof out, "%.17g", value);
    return out;
}

std::string parsed_integer(const char* text) {
    int32_t value = -12345;
    return parse_integer_text(text, &value) ? std::to_string(value) : "invalid";
}

struct Shown {
    float value;
    const char* text;
};

void expect_one_decimal(std::initializer_list<Shown> cases) {
    for (const Shown& c : cases)
        EXPECT_EQ(one_decimal(c.value), c.text) << c.value;
}

struct Read {
    const char* text;
    const char* value; // as parsed_float or parsed_integer gives it
};

void expect_reads(std::string (*parse)(const char*), std::initializer_list<Read> cases) {
    for (const Read& c : cases)
        EXPECT_EQ(parse(c.text), c.value) << c.text;
}

TEST(OneDecimal, ExactTiesRoundAwayFromZero) {
    expect_one_decimal({{0.25f, "0.3"},
                        {-0.25f, "-0.3"},
                        {1.25f, "1.3"},
                        {0.75f, "0.8"},
                        {-2.75f, "-2.8"},
                        {1000000.25f, "1000000.3"},
                        {4194303.75f, "4194303.8"}});
}

TEST(OneDecimal, RoundsOnTheExactValueOfTheFloat) {
    expect_one_decimal({{2.345f, "2.3"},
                        {0.05f, "0.1"},   // 0.0500000007...
                        {0.35f, "0.3"},   // 0.3499999940...
                        {99.95f, "99.9"}, // 99.9499969...
                        {9.96f, "10.0"},
                        {0.0f, "0.0"},
                        {1.0f, "1.0"},
                        {1e-30f, "0.0"}});
}

TEST(OneDecimal, KeepsTheSignOfNegativeValuesThatRoundToZero) {
    expect_one_decimal({{-0.0f, "-0.0"}, {-0.04f, "-0.0"}});
}

TEST(OneDecimal, WritesLargeValuesInFull) {
    expect_one_decimal({{16777216.0f, "16777216.0"},
                        {-123456789.0f, "-123456792.0"},
                        {1e20f, "100000002004087734272.0"},
                        {3.4028235e38f, "340282346638528859811704183484516925440.0"},
                        {-3.4028235e38f, "-340282346638528859811704183484516925440.0"}});
    EXPECT_LT(one_decimal(-3.4028235e38f).size(), 42u + 1u);
}

// A host's single precision or rounding mode changes no text.
TEST(OneDecimal, IsTheSameUnderTheHostsFloatControl) {
    const struct {
        float value;
        const char* text;
    } cases[] = {{0.35f, "0.3"},
                 {0.45f, "0.4"},
                 {1048576.25f, "1048576.3"},
                 {-2.75f, "-2.8"},
                 {99.95f, "99.9"},
                 {8388607.5f, "8388607.5"},
                 {1e-40f, "0.0"},
                 {1e20f, "100000002004087734272.0"}};
    std::string texts[sizeof cases / sizeof cases[0]];
    with_float_control(hostile_float_control, [&] {
        for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
            texts[i] = one_decimal(cases[i].value);
    });
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_EQ(texts[i], cases[i].text);
}

TEST(OneDecimal, WritesNonFiniteValuesReadably) {
    expect_one_decimal({{INFINITY, "inf"}, {-INFINITY, "-inf"}, {NAN, "nan"}});
}

// Away from exact ties the C runtime's "%.1f" is the oracle.
TEST(OneDecimal, MatchesPrintfOutsideTies) {
    std::mt19937 random(7);
    std::uniform_int_distribution<uint32_t> bits;
    int compared = 0;
    for (int i = 0; i < 200000; ++i) {
        uint32_t word = bits(random);
        float value;
        std::memcpy(&value, &word, sizeof value);
        if (!std::isfinite(value)) continue;
        double tenths = std::fabs(static_cast<double>(value)) * 10.0;
        if (tenths < 1e15 && tenths - std::floor(tenths) == 0.5) continue;
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.1f", static_cast<double>(value));
        ASSERT_EQ(one_decimal(value), expected) << "bits " << word;
        ++compared;
    }
    for (int tenths = -20000; tenths <= 20000; ++tenths) {
        float value = static_cast<float>(tenths / 10.0);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.1f", static_cast<double>(value));
        ASSERT_EQ(one_decimal(value), expected);
    }
    EXPECT_GT(compared, 100000);
}

TEST(FloatText, ReadsTheLeadingNumberLikeAtof) {
    expect_reads(parsed_float, {{"abc", "0"},
                                {"12abc", "12"},
                                {"1,5", "1"},
                                {"   ", "0"},
                                {" \t-3.5", "-3.5"},
                                {"-", "0"},
                                {"+.5", "0.5"},
                                {"7.", "7"},
                                {".", "0"},
                                {"1e3", "1000"},
                                {"2.5E-1x", "0.25"},
                                {"1e", "1"},
                                {"1e+", "1"},
                                {"0x10", "0"},
                                {"1d3", "1"},
                                {"inf", "0"},
                                {"nan", "0"},
                                {"1e-50", "1e-50"}}); // a float 0 once stored
}

TEST(FloatText, IsCorrectlyRoundedToDouble) {
    double value = 0.0;
    ASSERT_TRUE(parse_float_text("0.1", &value));
    EXPECT_EQ(value, 0.1);
    ASSERT_TRUE(parse_float_text("2.345", &value));
    EXPECT_EQ(value, 2.345);
    ASSERT_TRUE(parse_float_text("-123456.789e-3", &value));
    EXPECT_EQ(value, -123.456789);
    ASSERT_TRUE(parse_float_text("00000000000000000000000000000000000000000000000001.5", &value));
    EXPECT_EQ(value, 1.5);
}

TEST(FloatText, RejectsValuesBeyondSinglePrecision) {
    expect_reads(parsed_float, {{"1e39", "invalid"}, {"-1e39", "invalid"}, {"1e99999", "invalid"}});
    // FLT_MAX plus half an ulp rounds to infinity; the double just below it rounds to FLT_MAX.
    EXPECT_EQ(parsed_float("340282356779733661637539395458142568448"), "invalid");
    double value = 0.0;
    ASSERT_TRUE(parse_float_text("340282356779733623858607532500980858880", &value));
    EXPECT_EQ(static_cast<float>(value), 3.4028235e38f);
    EXPECT_TRUE(parse_float_text("-3.4028235e38", &value));
}

TEST(IntegerText, ReadsTheLeadingIntegerLikeAtoi) {
    expect_reads(parsed_integer, {{"2.9", "2"},
                                  {"abc", "0"},
                                  {"  -7x", "-7"},
                                  {"+12", "12"},
                                  {" ", "0"},
                                  {"-", "0"},
                                  {"1e3", "1"},
                                  {"2147483647", "2147483647"},
                                  {"-2147483648", "-2147483648"},
                                  {"0000000000000000000000042", "42"}});
}

TEST(IntegerText, RejectsValuesOutsideThe32BitRange) {
    expect_reads(parsed_integer, {{"2147483648", "invalid"},
                                  {"-2147483649", "invalid"},
                                  {"99999999999999999999999", "invalid"}});
}

// Code page 932 as a Japanese input method types it: full-width digits, signs and full stop read
// as ASCII in both readers; any other double-byte character ends the number, and a trail byte
// that looks like ASCII is never read on its own.
TEST(FullWidthText, ReadsAsItsAsciiTwinAndNeverSplitsACharacter) {
    const struct {
        const char* text;
        const char* as_float;
        const char* as_integer;
    } cases[] = {
        {"\x82\x54", "5", "5"},                                       // ５
        {"\x82\x50\x82\x4f\x82\x58", "109", "109"},                   // １０９
        {"\x81\x7c\x82\x50\x82\x51\x81\x44\x82\x54", "-12.5", "-12"}, // －１２．５
        {"\x81\x7b\x81\x44\x82\x54", "0.5", "0"},                     // ＋．５
        {" 1\x82\x53.5", "14.5", "14"},                               // 1４.5
        {"\x82\x50\x65\x82\x52", "1000", "1"},                        // １e３
        {"\x82\x50\x82\x85\x82\x52", "1", "1"},                       // １ｅ３
        {"\x82\x51\x82\x81\x82\x82", "2", "2"},                       // ２ａｂ
        {"\x82\x81\x82\x54", "0", "0"},                               // ａ５
        {"\x81\x40\x82\x54", "0", "0"},                               // full-width space
        {"1\x83\x65\x32", "1", "1"},                                  // 1テ2, not 1e2
        {"5\x88\x82\x54", "5", "5"},                                  // 5, 0x88 0x82, T: not 5５
        {"\x82\x35", "0", "0"},                                       // lead, then '5'
        {"7\x82", "7", "7"},                                          // cut-off lead
        {"\xb1\x35", "0", "0"},                                       // half-width kana
        {"\x82\x51\x82\x50\x82\x53\x82\x56\x82\x53\x82\x57\x82\x52\x82\x55\x82\x53\x82\x57",
         "2147483648", "invalid"}, // one past the 32-bit range
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parsed_float(c.text), c.as_float) << c.text;
        EXPECT_EQ(parsed_integer(c.text), c.as_integer) << c.text;
    }
}

// The text a spin step starts from: one integer and nothing after it.
TEST(IntegerText, WholeIntegerIsTheWholeText) {
    const struct {
        const char* text;
        const char* read;
    } cases[] = {{"12", "12"},
                 {" -7", "-7"},
                 {"+3", "3"},
                 {"\x82\x50\x82\x51", "12"},
                 {"12a", "invalid"},
                 {"2.9", "invalid"},
                 {"", "invalid"},
                 {"-", "invalid"},
                 {"1 ", "invalid"},
                 {"7\x82", "invalid"},
                 {"2147483648", "invalid"}};
    for (const auto& c : cases) {
        int32_t value = -12345;
        EXPECT_EQ(parse_whole_integer_text(c.text, &value) ? std::to_string(value) : "invalid",
                  c.read)
            << c.text;
    }
}

TEST(IntegerText, FormatsLikePercentD) {
    char text[number_text_size];
    format_integer(-2147483647 - 1, text);
    EXPECT_STREQ(text, "-2147483648");
    format_integer(0, text);
    EXPECT_STREQ(text, "0");
    format_integer(12, text);
    EXPECT_STREQ(text, "12");
}

} // namespace
