#pragma once
// The one error type of the program: it carries the message the user sees.
#include <stdexcept>
#include <string>

namespace px {

class AppError : public std::runtime_error {
public:
    explicit AppError(const std::string& msg) : std::runtime_error(msg), message_(msg) {}
    // The whole message: what() ends at a NUL byte that a value put in it.
    const std::string& message() const { return message_; }

private:
    std::string message_;
};

// A field's text that does not convert to a number; a front end that knows
// which field it read can name it.
class ConversionError : public AppError {
public:
    using AppError::AppError;
};

// A refusal of one field's value; `field` is the control it came from
// ("Edit12"), for front ends that name fields by control.
class FieldError : public AppError {
public:
    FieldError(std::string field, const std::string& msg) : AppError(msg), field_(std::move(field)) {}
    const std::string& field() const { return field_; }

private:
    std::string field_;
};

// A long command stopped by the user; not an error to report.
class Cancelled : public std::runtime_error {
public:
    Cancelled() : std::runtime_error("Cancelled") {}
};

// Messages of floating-point faults.
inline constexpr const char* kDivByZero = "Floating point division by zero";
inline constexpr const char* kInvalidOp = "Invalid floating point operation";
inline constexpr const char* kOverflow = "Floating point overflow";

// a / b, raising the fault message instead of producing inf or NaN.
double checkedDiv(double a, double b);
// Raises kOverflow for an infinite value and kInvalidOp for NaN; returns v.
double checkedFinite(double v);
// sqrt that raises kInvalidOp for a negative argument.
double checkedSqrt(double v);

// The text the message box shows: a full stop is appended when the last
// character sorts after '.'; an empty message stays empty.
std::string displayMessage(const std::string& msg);

}  // namespace px
