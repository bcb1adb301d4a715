#pragma once
// How the core says that something failed: the errno of the system call that failed and what
// failed, or, where no call failed, the fixed reason alone. failureText is the one place that turns
// it into the text the user reads, so the window and the command line say the same.
#include <optional>
#include <string>
#include <utility>

namespace zelvar {

struct Failure {
    int error = 0;          // errno of the call that failed; 0 where no call failed and `what` is the reason
    std::string what = {};  // what failed ("Předvolbu nelze uložit"), or the reason itself without errno
    bool operator==(const Failure&) const = default;
};

// "what: the system's description", the system's description alone when `what` is empty, or
// `what` alone when no call failed.
std::string failureText(const Failure& failure);

// A value, or the failure that kept it from being had.
template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : failure_(std::move(failure)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Set only when there is no value.
    const Failure& failure() const { return failure_; }

private:
    std::optional<T> value_;
    Failure failure_;
};

}  // namespace zelvar
