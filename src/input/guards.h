#pragma once
// Refusals of settings and counts outside what a command can use, with a
// message naming the field by its caption and giving the limit.
#include <string>

namespace px {

// "\"caption\" must be at least limit" ("must not be negative" for 0).
void RequireAtLeast(int value, int limit, const std::string& caption);
// "\"caption\" must be at most limit".
void RequireAtMost(int value, int limit, const std::string& caption);

}  // namespace px
