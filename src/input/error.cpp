#include "input/error.h"

#include <cmath>

namespace px {

double checkedDiv(double a, double b) {
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a)) throw AppError(kInvalidOp);
        throw AppError(kDivByZero);
    }
    return checkedFinite(a / b);
}

double checkedFinite(double v) {
    if (std::isnan(v)) throw AppError(kInvalidOp);
    if (std::isinf(v)) throw AppError(kOverflow);
    return v;
}

double checkedSqrt(double v) {
    if (std::isnan(v) || v < 0) throw AppError(kInvalidOp);
    return std::sqrt(v);
}

std::string displayMessage(const std::string& msg) {
    if (msg.empty()) return msg;
    if (static_cast<unsigned char>(msg.back()) > static_cast<unsigned char>('.')) return msg + ".";
    return msg;
}

}  // namespace px
