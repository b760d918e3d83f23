// Control values: integers, reals and texts, alone or as tuples.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include <verodyn/export.h>

// One control value. Reading a value as another kind converts it: a real read
// as an integer is truncated (held to the integers' range, NaN giving 0), a
// text read as a number is parsed (0 if it is not one; integers in decimal, or
// in hexadecimal after "0x").
class VCtrlVal {
public:
    VCtrlVal(long long value = 0) : value_(value) { }
    VCtrlVal(int value) : value_(static_cast<long long>(value)) { }
    VCtrlVal(long value) : value_(static_cast<long long>(value)) { }
    VCtrlVal(double value) : value_(value) { }
    VCtrlVal(const char* text) : value_(std::string(text ? text : "")) { }
    VCtrlVal(std::string text) : value_(std::move(text)) { }

    bool is_int() const { return std::holds_alternative<long long>(value_); }
    bool is_real() const { return std::holds_alternative<double>(value_); }
    bool is_text() const { return std::holds_alternative<std::string>(value_); }

    VERODYN_API long long L() const;
    VERODYN_API double D() const;
    VERODYN_API std::string S() const;

    bool operator==(const VCtrlVal& other) const { return value_ == other.value_; }

private:
    std::variant<long long, double, std::string> value_;
};

// A tuple of control values; a tuple built from one value has length 1.
class VTuple {
public:
    VTuple() = default;
    VTuple(const VCtrlVal& value) : values_{value} { }
    VTuple(int value) : values_{VCtrlVal(value)} { }
    VTuple(long value) : values_{VCtrlVal(value)} { }
    VTuple(long long value) : values_{VCtrlVal(value)} { }
    VTuple(double value) : values_{VCtrlVal(value)} { }
    VTuple(const char* text) : values_{VCtrlVal(text)} { }
    VTuple(std::string text) : values_{VCtrlVal(std::move(text))} { }

    std::size_t length() const { return values_.size(); }
    bool empty() const { return values_.empty(); }
    const VCtrlVal& operator[](std::size_t i) const { return values_.at(i); }
    VCtrlVal& operator[](std::size_t i) { return values_.at(i); }
    VTuple& append(const VCtrlVal& value)
    {
        values_.push_back(value);
        return *this;
    }
    bool operator==(const VTuple& other) const { return values_ == other.values_; }

private:
    std::vector<VCtrlVal> values_;
};
