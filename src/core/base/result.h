// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the core reports that something failed: an operation returns a
// Result<T>, which holds either its value or a Failure saying what failed and
// the system's reason. The core never tells the user; the application and
// the dialogs decide what to show.
//
// Result follows std::expected's interface (has_value, value, error, *, ->),
// which GCC 12 has but the clang that builds the fuzz targets does not.

#include <cassert>
#include <cerrno>
#include <string>
#include <utility>
#include <variant>

namespace wp2 {

struct Failure {
    // The operation and its object: "write /home/ann/My Documents/Pushpins.kpp".
    std::string what;
    // Why, in the system's words: "No space left on device".
    std::string reason;
    // The errno value behind the reason, 0 when the failure is not the system's.
    int error = 0;

    // "what: reason" (just one of them when the other is empty).
    std::string text() const;
    bool operator==(const Failure&) const = default;
};

// A failure whose reason is the system's text for errno value `error`.
Failure systemFailure(std::string what, int error = errno);

// The failing side of a Result, so that `return fail(...)` converts to any
// Result<T>.
struct Unexpected {
    Failure failure;
};
inline Unexpected fail(std::string what, std::string reason, int error = 0) {
    return {Failure{std::move(what), std::move(reason), error}};
}
inline Unexpected fail(Failure failure) {
    return {std::move(failure)};
}

template <typename T = void>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    Result(Unexpected u) : v_(std::in_place_index<1>, std::move(u.failure)) {}

    bool has_value() const { return v_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & {
        assert(has_value());
        return std::get<0>(v_);
    }
    const T& value() const& {
        assert(has_value());
        return std::get<0>(v_);
    }
    T&& value() && {
        assert(has_value());
        return std::get<0>(std::move(v_));
    }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    template <typename U>
    T value_or(U&& other) const& {
        return has_value() ? value() : static_cast<T>(std::forward<U>(other));
    }

    const Failure& error() const {
        assert(!has_value());
        return std::get<1>(v_);
    }

private:
    std::variant<T, Failure> v_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Unexpected u) : failure_(std::move(u.failure)), failed_(true) {}

    bool has_value() const { return !failed_; }
    explicit operator bool() const { return has_value(); }
    const Failure& error() const {
        assert(failed_);
        return failure_;
    }

private:
    Failure failure_;
    bool failed_ = false;
};

}  // namespace wp2
