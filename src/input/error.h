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

// A text that does not convert to a number. Read from a field of the window,
// the message begins with the field's caption and page ("Sec Width B (Section
// page): '24O0' is not a valid floating point value").
class ConversionError : public AppError {
public:
    explicit ConversionError(const std::string& msg) : AppError(msg), bare_(msg) {}
    ConversionError(std::string field, const std::string& label, const std::string& msg)
        : AppError(label.empty() ? msg : label + ": " + msg), field_(std::move(field)), label_(label), bare_(msg) {}
    // The control whose text was refused ("Edit1"); empty for another text.
    const std::string& field() const { return field_; }
    // "Sec Width B (Section page)"; empty when no field is named.
    const std::string& label() const { return label_; }
    // The message without the field's name.
    const std::string& bare() const { return bare_; }

private:
    std::string field_, label_, bare_;
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
