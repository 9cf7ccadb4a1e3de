#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/run/numtext.h"

using namespace korvelan;

namespace {
std::string field(std::int64_t n, std::size_t width) {
    std::string f(width, ' ');
    int_to_text_right(n, f);
    return f;
}
std::string fixed(float x, std::size_t width, const char* format) {
    std::string f(width, ' ');
    real_to_fixed_text(x, f, format);
    return f;
}

// fmt_f's rule worked out on the whole decimal expansion of the value (every double has a
// finite one, well inside 1,100 places): round half away from zero at d places, no "0" before
// the point, no sign on a value that rounds to zero, "*" when the text is wider than w.
std::string exact_fixed(double x, int w, int d) {
    std::vector<char> buf(1500);
    std::snprintf(buf.data(), buf.size(), "%.1100f", std::fabs(x));
    std::string all(buf.data());
    const std::size_t point = all.find('.');
    std::string digits = all.substr(0, point) + all.substr(point + 1, static_cast<std::size_t>(d));
    if (all[point + 1 + static_cast<std::size_t>(d)] >= '5') {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0 && digits[static_cast<std::size_t>(i)] == '9'; --i) digits[static_cast<std::size_t>(i)] = '0';
        if (i < 0) digits.insert(digits.begin(), '1');
        else ++digits[static_cast<std::size_t>(i)];
    }
    std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(d));
    const std::string decimals = digits.substr(digits.size() - static_cast<std::size_t>(d));
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    const bool zero = whole.empty() && decimals.find_first_not_of('0') == std::string::npos;
    if (whole.empty() && d == 0) whole = "0";
    const std::string text = (x < 0 && !zero ? "-" : "") + whole + "." + decimals;
    if (static_cast<int>(text.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}
}  // namespace

TEST(IntegerTexts, RightLeftAndTenColumns) {
    EXPECT_EQ(int_to_text10(0), "         0");
    EXPECT_EQ(int_to_text10(-5), "        -5");
    EXPECT_EQ(int_to_text_left(-5), "-5        ");
    EXPECT_EQ(int_to_text_left(1234567890), "1234567890");
}

TEST(IntegerTexts, HighDigitsAreDroppedAndSignTakesFirstColumn) {
    EXPECT_EQ(field(-123, 3), "-23");
    EXPECT_EQ(field(12345, 3), "345");
    EXPECT_EQ(field(-12, 3), "-12");
    EXPECT_EQ(field(-1, 1), "-");
    // The smallest 32-bit value is written without overflow.
    EXPECT_EQ(int_to_text_left(-2147483648LL), "-147483648");
    EXPECT_EQ(field(-2147483648LL, 11), "-2147483648");
}

TEST(FixedPoint, NoLeadingZeroAndPaddedDecimals) {
    EXPECT_EQ(fixed(1.5f, 4, "(F4.1)"), " 1.5");
    EXPECT_EQ(fixed(0.05f, 6, "(F6.3)"), "  .050");
    EXPECT_EQ(fixed(0.5f, 6, "(F6.3)"), "  .500");
    EXPECT_EQ(fixed(-0.5f, 6, "(F6.3)"), " -.500");
    EXPECT_EQ(fixed(-0.0004f, 6, "(F6.3)"), "  .000");
    EXPECT_EQ(fixed(12.25f, 8, "(F8.2)"), "   12.25");
}

TEST(FixedPoint, HalvesRoundAwayFromZeroWithoutDecimals) {
    EXPECT_EQ(fixed(2.5f, 4, "(F4.0)"), "   3");
    EXPECT_EQ(fixed(-2.5f, 4, "(F4.0)"), "  -3");
    EXPECT_EQ(fixed(0.49f, 4, "(F4.0)"), "   0");
}

TEST(FixedPoint, OverflowDropsHighDigitsButHugeValuesAreStars) {
    EXPECT_EQ(fixed(123456.75f, 6, "(F6.1)"), "3456.8");
    EXPECT_EQ(fixed(3.0e9f, 6, "(F6.1)"), "******");
    EXPECT_EQ(fixed(-3.0e9f, 4, "(F4.0)"), "****");
    // x * 10^d beyond the 32-bit range is a field of "*" instead of a wrapped number.
    EXPECT_EQ(fixed(1.0e8f, 10, "(F10.3)"), "**********");
    EXPECT_EQ(fixed(std::numeric_limits<float>::quiet_NaN(), 5, "(F5.2)"), "*****");
    EXPECT_EQ(fixed(std::numeric_limits<float>::infinity(), 5, "(F5.2)"), "*****");
}

TEST(FixedPoint, NegativeFullFieldLosesFirstCharacterToSign) {
    EXPECT_EQ(fixed(-123.45f, 6, "(F6.2)"), "-23.45");
    EXPECT_EQ(real_to_text10(-1.25f, "(F10.2)"), "     -1.25");
    EXPECT_EQ(real_to_text_left(-0.25f, "(F10.2)"), "-.25      ");
}

TEST(DoubleFixed, RoundsAndKeepsLeadingZero) {
    EXPECT_EQ(std::string(trim(double_to_text30(2.996, "(F30.2)"))), "3.00");
    EXPECT_EQ(std::string(trim(double_to_text30(-0.5, "(F30.1)"))), "-0.5");
    EXPECT_EQ(std::string(trim(double_to_text30(2.5, "(F30.0)"))), "2");
    EXPECT_EQ(std::string(trim(double_to_text30(2.502, "(F30.0)"))), "3");
    EXPECT_EQ(std::string(trim(double_to_text30(1.05, "(F30.3)"))), "1.050");
    EXPECT_EQ(double_to_text30(5e9, "(F30.2)"), std::string(30, '*'));
    std::string narrow(4, ' ');
    double_to_fixed_text(12345.5, narrow, "(F4.1)");
    EXPECT_EQ(narrow, "****");
}

TEST(FormattedOutput, IntegersAndFixedFields) {
    EXPECT_EQ(fmt_i(7, 9), "        7");
    EXPECT_EQ(fmt_i(-12, 3), "-12");
    EXPECT_EQ(fmt_i(1234, 3), "***");
    EXPECT_EQ(fmt_f(0.5, 6, 2), "   .50");
    EXPECT_EQ(fmt_f(-0.0123, 7, 4), " -.0123");
    EXPECT_EQ(fmt_f(3.34, 5, 2), " 3.34");
    EXPECT_EQ(fmt_f(123.4567, 8, 4), "123.4567");
    EXPECT_EQ(fmt_f(123.4567, 7, 4), "123.457");
    EXPECT_EQ(fmt_f(-0.004, 5, 2), "  .00");
    EXPECT_EQ(fmt_f(0.0, 5, 2), "  .00");
    EXPECT_EQ(fmt_f(std::nan(""), 6, 2), "******");
    EXPECT_EQ(fmt_f(-HUGE_VAL, 6, 2), "******");
    EXPECT_EQ(fmt_f_left(-1.5, 10, 2), "-1.50");
}

// The rule for a number in a fixed field, over signs, magnitudes, widths and decimals: the
// text at its decimals wherever that fits; else the most decimals that fit, the whole number
// without a point at the least; stars only where even that does not fit. The Table formatter
// and the output-file fields follow it alike.
TEST(FormattedOutput, FewerDecimalsBeforeStars) {
    // full(k): the number's text at k decimals by the wide form, the whole number without a point.
    auto check = [](const std::string& shown, double x, int w, int d, auto full) {
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(w)) << x;
        const std::string text(trim_left(shown));
        for (int k = d; k >= 0; --k) {
            if (full(k).size() > static_cast<std::size_t>(w)) continue;
            EXPECT_EQ(text, full(k)) << x << " F" << w << "." << d;
            // Output-file texts come from 32-bit products, good to about seven digits.
            EXPECT_NEAR(std::stod(text), x, 0.5 * std::pow(10.0, -k) + std::fabs(x) * 6e-7 * (k + 1)) << text;
            return;
        }
        EXPECT_EQ(text, std::string(static_cast<std::size_t>(w), '*')) << x << " F" << w << "." << d;
        EXPECT_GT(std::to_string(std::llround(std::fabs(x))).size() + (x < 0), static_cast<std::size_t>(w));
    };
    for (double magnitude : {0.0004, 0.5, 9.99951, 12.3456, 99.996, 1262.3294, 99999.96, 123456.7, 3.1e7}) {
        for (double x : {magnitude, -magnitude}) {
            const float f = static_cast<float>(x);
            auto table_text = [x](int k) {
                std::string t(trim(fmt_f(x, 40, k)));
                if (k == 0) t.pop_back();  // the point of F40.0
                return t;
            };
            auto file_text = [f](int k) {
                std::string wide(14, ' ');
                real_to_fixed_text(f, wide, std::string("(F14.") + char('0' + k) + ")");
                return std::string(trim(wide));
            };
            for (int w = 3; w <= 10; ++w) {
                for (int d = 1; d <= 4; ++d) {
                    check(fmt_f(x, w, d), x, w, d, table_text);
                    std::string field;
                    append_fixed_field(field, f, w, d);
                    check(field, f, w, d, file_text);
                }
            }
        }
    }
    // The same text at the own decimals, halves away from zero: -16.80 in five columns.
    EXPECT_EQ(fmt_f(-16.8, 5, 2), "-16.8");
    EXPECT_EQ(fmt_f(16.8, 5, 2), "16.80");
    EXPECT_EQ(fmt_f(-99999.6, 6, 2), "******");
    EXPECT_EQ(fmt_f(-9999.6, 6, 2), "-10000");
    EXPECT_EQ(fmt_f(123456.0, 6, 0), "123456");
    EXPECT_EQ(fmt_f(12345.0, 6, 0), "12345.");
    std::string full;
    append_full_number(full, -35000.25f, 2);
    full += ',';
    append_full_number(full, 3.0e8f, 2);
    full += ',';
    append_full_number(full, 3.0e9f, 2);
    EXPECT_EQ(full, "-35000.25,300000000,*");
}

TEST(FormattedOutput, ExactHalvesRoundAwayFromZero) {
    EXPECT_EQ(fmt_f(0.125, 5, 2), "  .13");
    EXPECT_EQ(fmt_f(-0.125, 5, 2), " -.13");
    EXPECT_EQ(fmt_f(2.5, 3, 0), " 3.");
    EXPECT_EQ(fmt_f(9.995, 6, 2), "  9.99");  // 9.995 is just below the half in binary
    EXPECT_EQ(fmt_f(9.9951, 6, 2), " 10.00");
    EXPECT_EQ(fmt_f(99.5, 6, 0), "  100.");
    EXPECT_EQ(nint(2.5), 3);
    EXPECT_EQ(nint(-2.5), -3);
    EXPECT_EQ(nint(-2.4999), -2);
}

// Values of every size and sign, and values a few units of the last binary place either side of
// a half or of a whole number at the printed decimals, where one multiplication by 10^d could
// round the wrong way.
TEST(FormattedOutput, EveryValueRoundsAsItsExactDecimalExpansion) {
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> exponent(-8.0, 16.0), unit(0.0, 1.0);
    for (int k = 0; k < 60000; ++k) {
        const int d = static_cast<int>(random() % 8), w = 1 + static_cast<int>(random() % 22);
        double x = std::pow(10.0, exponent(random)) * (unit(random) < 0.5 ? -1.0 : 1.0);
        if (k % 2 == 1) {
            // A half or a whole number of the last printed place, moved a few places of its own.
            const double step = std::pow(10.0, -d), base = std::floor(std::fabs(x) / step) + (k % 4 == 1 ? 0.5 : 0.0);
            x = std::copysign(base * step, x);
            for (int u = static_cast<int>(random() % 7) - 3; u != 0; u += u < 0 ? 1 : -1)
                x = std::nextafter(x, u < 0 ? -HUGE_VAL : HUGE_VAL);
        }
        // Where the text at d decimals does not fit, fewer decimals are shown (tested above).
        const std::string exact = exact_fixed(x, w, d);
        if (exact[0] == '*') continue;
        ASSERT_EQ(fmt_f(x, w, d), exact) << std::hexfloat << x << " w " << w << " d " << d;
    }
    for (double x : {0.0, -0.0, 0.5, -0.5, 0.05, 1e15, 123456789012345.5, 4503599627370495.5, 1e-320})
        for (int d = 0; d <= 4; ++d) EXPECT_EQ(fmt_f(x, 24, d), exact_fixed(x, 24, d)) << x << " d " << d;
}

TEST(TextHelpers, JustifyAndCase) {
    std::string t = "   ab c  ";
    left_justify_in_place(t);
    EXPECT_EQ(t, "ab c     ");
    std::string blank = "    ";
    left_justify_in_place(blank);
    EXPECT_EQ(blank, "    ");
    std::string u = "abc\xe9z";
    uppercase_string(u, 2);
    EXPECT_EQ(u, "ABc\xe9z");
    uppercase_whole_string(u);
    EXPECT_EQ(u, "ABC\xe9Z");
    EXPECT_TRUE(iequals("&end", "&END"));
    EXPECT_EQ(pad_left("abc", 2), "bc");
}

// A column is a character: a valid UTF-8 character of 1 to 4 bytes, or a byte outside any (a
// Latin-1 letter, a stray continuation, an overlong form, a surrogate, a cut-off character). On the
// screen a wide character takes two columns; a stored field of n bytes keeps whole characters.
TEST(TextHelpers, ColumnsAreCharactersAndWideOnesTakeTwoOnScreen) {
    struct Case {
        std::string_view text;
        std::size_t characters, display;
    };
    for (const Case& c :
         {Case{"Zoë", 3, 3}, Case{"P数据", 3, 5}, Case{"a😀b", 3, 4}, Case{"caf\xe9 au", 7, 7},
          Case{"\xe9\xa9z", 3, 3}, Case{"\xc0\xaf", 2, 2}, Case{"\xed\xa0\x80", 3, 3},
          Case{"x\xf0\x9f\x98", 4, 4}, Case{"\xb0\xb0", 2, 2}}) {
        EXPECT_EQ(character_count(c.text), c.characters) << c.text;
        EXPECT_EQ(display_width(c.text), c.display) << c.text;
    }
    EXPECT_EQ(character_span("Zoë数据x", 2, 3), "ë数据");
    EXPECT_EQ(character_offset("Zoë", 9), 4u);
    EXPECT_EQ(pad_characters("Zoë", 5), "Zoë  ");
    EXPECT_EQ(pad_characters("数据abc", 3), "数据a");
    EXPECT_EQ(pad_right("P数据", 6), "P数据 ");
    EXPECT_EQ(pad_right("P数据", 4), "P数 ");  // a wide character that would pass the field
    EXPECT_EQ(pad_right("Zoé", 3), "Zoé");
    EXPECT_EQ(pad_right("a😀b", 3), "a😀");
    EXPECT_EQ(pad_left("数据a", 4), " 据a");
    EXPECT_EQ(pad_left("éé", 3), " éé");
    EXPECT_EQ(pad_right("caf\xe9 au", 4), "caf\xe9");
    EXPECT_EQ(pad_bytes("P数据", 6), "P数  ");  // P数据: 7 bytes
    EXPECT_EQ(pad_bytes("x\xb0\xb0\xb0\xb0y", 3), "x\xb0\xb0");
    EXPECT_EQ(utf8_prefix("abé", 3), "ab");
    EXPECT_EQ(utf8_prefix("\xe9\xa9zz", 2), "\xe9\xa9");  // no character to back off to
}

TEST(ParseFirstInteger, DigitsBlanksAndEnd) {
    int pos = 0, value = 0;
    parse_first_integer("L=12", pos, value);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(pos, 5);
    parse_first_integer("1 2x", pos, value);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(pos, 4);
    parse_first_integer("abc", pos, value);
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(value, 0);
}

TEST(ParseReal, AcceptedForms) {
    float v = 9.0f;
    EXPECT_EQ(parse_real_from_text(".5", v), 0);
    EXPECT_FLOAT_EQ(v, 0.5f);
    EXPECT_EQ(parse_real_from_text("  -.5", v), 0);
    EXPECT_FLOAT_EQ(v, -0.5f);
    EXPECT_EQ(parse_real_from_text("5.", v), 0);
    EXPECT_FLOAT_EQ(v, 5.0f);
    EXPECT_EQ(parse_real_from_text("2.05", v), 0);
    EXPECT_FLOAT_EQ(v, 2.05f);
    EXPECT_EQ(parse_real_from_text("32000", v), 0);
    EXPECT_FLOAT_EQ(v, 32000.0f);
    EXPECT_EQ(parse_real_from_text("   ", v), 0);
    EXPECT_FLOAT_EQ(v, 0.0f);
}

TEST(ParseReal, RejectedForms) {
    float v;
    EXPECT_NE(parse_real_from_text("1E3", v), 0);
    EXPECT_NE(parse_real_from_text("+3", v), 0);
    EXPECT_NE(parse_real_from_text("1.2.3", v), 0);
    EXPECT_NE(parse_real_from_text("3-4", v), 0);
    EXPECT_NE(parse_real_from_text("'10'", v), 0);
    EXPECT_NE(parse_real_from_text("abc", v), 0);
}

TEST(ParseReal, LongNumbersKeepFullPrecision) {
    float v;
    EXPECT_EQ(parse_real_from_text("0.1234567891234", v), 0);
    EXPECT_FLOAT_EQ(v, 0.1234567891234f);
    EXPECT_EQ(parse_real_from_text("123456789012.5", v), 0);
    EXPECT_FLOAT_EQ(v, 123456789012.5f);
}

TEST(EditFileLines, EntryRangeAndValue) {
    int first, last, status;
    float value;
    std::string line = "3-7 1.5 ; comment 99";
    parse_numbers_in_line(line, first, value, status, last);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(last, 7);
    EXPECT_FLOAT_EQ(value, 1.5f);
    EXPECT_EQ(status, 0);

    line = "4";
    parse_numbers_in_line(line, first, value, status, last);
    EXPECT_EQ(first, 4);
    EXPECT_EQ(last, 4);
    EXPECT_EQ(status, -1);

    line = "7-3 1";
    parse_numbers_in_line(line, first, value, status, last);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 0);

    line = "        ";
    parse_numbers_in_line(line, first, value, status, last);
    EXPECT_EQ(status, -1);

    line = "12,-0.25";
    parse_numbers_in_line(line, first, value, status, last);
    EXPECT_EQ(first, 12);
    EXPECT_FLOAT_EQ(value, -0.25f);
    EXPECT_EQ(status, 0);
}

TEST(EditFileLines, SplitEntryAndValues) {
    int first, last, status;
    std::vector<float> values(4);
    std::string rest;
    std::string line = "        ";
    split_entry_and_value(line, first, values, status, rest, last);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(values[1], 0.0f);

    line = "5-6 1.5 -2 7 8 9";
    split_entry_and_value(line, first, values, status, rest, last);
    EXPECT_EQ(first, 5);
    EXPECT_EQ(last, 6);
    EXPECT_FLOAT_EQ(values[1], 1.5f);
    EXPECT_FLOAT_EQ(values[2], -2.0f);
    EXPECT_FLOAT_EQ(values[3], 0.0f);
    EXPECT_EQ(std::string(trim(rest)), "7 8 9");

    // More value fields than the array holds never write past it.
    std::vector<float> two(2);
    line = "1 2 3 4 5 6 7 8";
    split_entry_and_value(line, first, two, status, rest, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(status, 0);

    line = "9.5 1";
    split_entry_and_value(line, first, values, status, rest, last);
    EXPECT_EQ(status, -1);
}

TEST(TableRequests, NumbersSubTablesAndLetters) {
    TableRequest r;
    std::string line = "1.0";
    parse_numeric_input_line(line, r);
    EXPECT_EQ(r.table, 1);
    EXPECT_EQ(r.selectors[0], 0.0f);
    EXPECT_EQ(r.letters[0], 'U');

    line = "1";
    parse_numeric_input_line(line, r);
    EXPECT_EQ(r.table, 1);
    EXPECT_EQ(r.letters[0], ' ');

    line = "10.3 2";
    parse_numeric_input_line(line, r);
    EXPECT_EQ(r.table, 10);
    EXPECT_FLOAT_EQ(r.selectors[0], 3.0f);
    EXPECT_FLOAT_EQ(r.selectors[1], 2.0f);
    EXPECT_EQ(r.letters[0], 'U');
    EXPECT_EQ(r.letters[1], 'U');

    line = "3.12, - ,4";
    parse_numeric_input_line(line, r);
    EXPECT_EQ(r.table, 3);
    EXPECT_FLOAT_EQ(r.selectors[0], 12.0f);
    EXPECT_EQ(r.letters[1], ' ');
    EXPECT_FLOAT_EQ(r.selectors[2], 4.0f);
}

TEST(DigitStrings, Values) {
    EXPECT_EQ(parse_digit_string("12a"), -1);
    EXPECT_EQ(parse_digit_string(""), 0);
    EXPECT_EQ(parse_digit_string("0042"), 42);
}
