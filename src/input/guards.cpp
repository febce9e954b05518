#include "input/guards.h"

#include "input/error.h"

namespace px {

void RequireAtLeast(int value, int limit, const std::string& caption, const std::string& field) {
    if (value >= limit) return;
    const std::string message = "\"" + caption + "\" must be at least " + std::to_string(limit);
    if (!field.empty()) throw FieldError(field, message);
    throw AppError(message);
}

void RequireAtMost(int value, int limit, const std::string& caption, const std::string& field) {
    if (value <= limit) return;
    const std::string message = "\"" + caption + "\" must be at most " + std::to_string(limit);
    if (!field.empty()) throw FieldError(field, message);
    throw AppError(message);
}

void RequirePositive(double value, const std::string& caption) {
    if (value > 0) return;
    throw AppError("\"" + caption + "\" must be greater than 0");
}

}  // namespace px
