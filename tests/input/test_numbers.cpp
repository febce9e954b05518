// Number texts and conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "input/error.h"
#include "input/numbers.h"

using namespace px;

namespace {
std::string messageOf(auto&& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.what();
    }
    return "(no error)";
}
}  // namespace

TEST(FormatFixed, ExactTiesGoAwayFromZeroOnlyWhenExact) {
    EXPECT_EQ(F2(0.125), "0.13");
    EXPECT_EQ(F2(-16190.625), "-16190.63");
    EXPECT_EQ(F2(202122.62499999988), "202122.62");
    EXPECT_EQ(F2(149290.625), "149290.63");
    EXPECT_EQ(F0(2.5), "3");
    EXPECT_EQ(F0(-2.5), "-3");
    EXPECT_EQ(F0(49062.5), "49063");
    EXPECT_EQ(F0(0.49999999999999994), "0");
    EXPECT_EQ(F2(1.005), "1.00");  // 1.005 is stored just below the tie
    EXPECT_EQ(F3(1.0136880165289257), "1.014");
}

TEST(FormatFixed, SignZeroAndCarries) {
    EXPECT_EQ(F2(-0.001), "-0.00");
    EXPECT_EQ(F2(-0.0), "0.00");
    EXPECT_EQ(F2(0.0), "0.00");
    EXPECT_EQ(F0(-0.4), "-0");
    EXPECT_EQ(F2(9.995), "9.99");  // below the tie in binary
    EXPECT_EQ(F2(9.999), "10.00");
    EXPECT_EQ(F0(999.5), "1000");
    EXPECT_EQ(F2(123456789012.0), "123456789012.00");
    EXPECT_EQ(F0(-16000), "-16000");
    EXPECT_EQ(F2(1e20), "100000000000000000000.00");
}

TEST(FormatFixed, ReadsTheLocaleSeparatorAndWritesAPoint) {
    setDecimalSeparator(',');
    EXPECT_EQ(F2(0.125), "0.13");
    EXPECT_DOUBLE_EQ(StrToFloat("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(StrToFloat("27.5"), 27.5);  // the default texts still read
    EXPECT_THROW(StrToFloat("1,2.5"), AppError);
    setDecimalSeparator('.');
}

TEST(Nearest, HalvesToEven) {
    EXPECT_EQ(nearest(0.5), 0);
    EXPECT_EQ(nearest(1.5), 2);
    EXPECT_EQ(nearest(2.5), 2);
    EXPECT_EQ(nearest(-0.5), 0);
    EXPECT_EQ(nearest(-1.5), -2);
    EXPECT_EQ(nearest(371.4), 371);
    EXPECT_EQ(messageOf([] { nearest(std::numeric_limits<double>::quiet_NaN()); }),
              "Invalid floating point operation");
    EXPECT_EQ(messageOf([] { nearest(1e300); }), "Floating point overflow");
}

TEST(StrToFloat, AcceptsDecimalRealsOnly) {
    EXPECT_DOUBLE_EQ(StrToFloat("27.5"), 27.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-0.0035"), -0.0035);
    EXPECT_DOUBLE_EQ(StrToFloat(" 12.5 "), 12.5);
    EXPECT_DOUBLE_EQ(StrToFloat("+3"), 3);
    EXPECT_DOUBLE_EQ(StrToFloat("1e3"), 1000);
    EXPECT_DOUBLE_EQ(StrToFloat("2.E-2"), 0.02);
    EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("5."), 5);
    EXPECT_EQ(StrToFloat("1e-400"), 0.0);
    for (const char* bad : {"", " ", "abc", "1,5", "1.2.3", "e5", "1e", "--1", "inf", "nan", "0x10",
                            "1e999", "12a", "\"1"}) {
        EXPECT_EQ(messageOf([&] { StrToFloat(bad); }),
                  std::string("'") + bad + "' is not a valid floating point value")
            << bad;
    }
}

TEST(StrToInt, RejectsFractionsAndOverflow) {
    EXPECT_EQ(StrToInt("12"), 12);
    EXPECT_EQ(StrToInt("-3"), -3);
    EXPECT_EQ(StrToInt(" 7"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int>::min());
    for (const char* bad : {"12.5", "", "x", "2147483648", "99999999999999999999", "1e3", "+", "-"}) {
        EXPECT_EQ(messageOf([&] { StrToInt(bad); }),
                  std::string("'") + bad + "' is not a valid integer value")
            << bad;
    }
}

TEST(Errors, CheckedArithmeticAndDisplay) {
    EXPECT_EQ(messageOf([] { checkedDiv(1, 0); }), "Floating point division by zero");
    EXPECT_EQ(messageOf([] { checkedDiv(0, 0); }), "Invalid floating point operation");
    EXPECT_EQ(messageOf([] { checkedDiv(1e300, 1e-300); }), "Floating point overflow");
    EXPECT_EQ(messageOf([] { checkedSqrt(-1); }), "Invalid floating point operation");
    EXPECT_DOUBLE_EQ(checkedDiv(1, 4), 0.25);
    EXPECT_EQ(displayMessage("'' is not a valid floating point value"),
              "'' is not a valid floating point value.");
    EXPECT_EQ(displayMessage("Done."), "Done.");
    EXPECT_EQ(displayMessage("ends with a bracket)"), "ends with a bracket)");
    EXPECT_EQ(displayMessage(""), "");
}

TEST(PadRight, PadsToWidthOnly) {
    EXPECT_EQ(PadRight(15, "0.00"), "0.00           ");
    EXPECT_EQ(PadRight(15, "123456789012.00"), "123456789012.00");
    EXPECT_EQ(PadRight(15, "1234567890123.00"), "1234567890123.00");
}
