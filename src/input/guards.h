#pragma once
// Refusals of settings and counts outside what a command can use, with a
// message naming the field by its caption and giving the limit.
#include <string>

namespace px {

// "\"caption\" must be at least limit", the one form for every count. With
// a `field` ("Edit12"), the error is a FieldError naming that control.
void RequireAtLeast(int value, int limit, const std::string& caption, const std::string& field = {});
// "\"caption\" must be at most limit".
void RequireAtMost(int value, int limit, const std::string& caption, const std::string& field = {});
// "\"caption\" must be greater than 0", for a setting that scales a length.
void RequirePositive(double value, const std::string& caption);

}  // namespace px
