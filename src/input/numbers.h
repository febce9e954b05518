#pragma once
// Text-to-number conversions and number formatting shared by every subsystem.
#include <string>
#include <string_view>

namespace px {

// Decimal separator of the user's locale, accepted on input besides the point
// ('.' unless the window sets another). Output always uses the point.
char decimalSeparator();
void setDecimalSeparator(char c);

// Standard conversions: throw ConversionError("'%s' is not a valid floating point
// value") / ("'%s' is not a valid integer value") with the original text.
double StrToFloat(std::string_view text);
int StrToInt(std::string_view text);

// Fixed-point text with `decimals` digits ("%0.0F" ... "%0.4F"),
// rounded from the exact binary value, exact ties away from zero, a minus
// sign only for values below zero, no thousands separator.
std::string FormatFixed(double v, int decimals);
inline std::string F0(double v) { return FormatFixed(v, 0); }
inline std::string F2(double v) { return FormatFixed(v, 2); }
inline std::string F3(double v) { return FormatFixed(v, 3); }

// Nearest integer, halves to even (pixels).
int nearest(double v);

// text followed by spaces up to `width` characters; longer text unchanged.
std::string PadRight(int width, const std::string& text);

}  // namespace px
