#include "input/guards.h"

#include "input/error.h"

namespace px {

void RequireAtLeast(int value, int limit, const std::string& caption) {
    if (value >= limit) return;
    if (limit == 0) throw AppError("\"" + caption + "\" must not be negative");
    throw AppError("\"" + caption + "\" must be at least " + std::to_string(limit));
}

void RequireAtMost(int value, int limit, const std::string& caption) {
    if (value <= limit) return;
    throw AppError("\"" + caption + "\" must be at most " + std::to_string(limit));
}

}  // namespace px
