#pragma once

#include <cassert>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace twds {

// What a failed call says: what failed and what to do about it, ready to
// show the user (Windows-1252 bytes).
struct Failure {
    std::string message;
};

// The outcome of a call that can fail: its value, or the Failure that says
// why there is none. The one way the viewer's own code reports failure;
// numeric status codes remain only where they are a system's contract.
// Hand-written because std::expected arrives only with C++23, and this much
// is all the viewer needs of it.
template <typename T>
class [[nodiscard]] Result {
public:
    // Anything that converts to T, as a return statement would convert it.
    template <typename U = T>
    requires(std::is_convertible_v<U&&, T> && !std::is_same_v<std::remove_cvref_t<U>, Failure> &&
             !std::is_same_v<std::remove_cvref_t<U>, Result>) Result(U&& value)  // NOLINT: implicit
        : state_(std::in_place_index<0>, std::forward<U>(value)) {}
    Result(Failure failure)  // NOLINT: implicit
        : state_(std::in_place_index<1>, std::move(failure)) {}

    [[nodiscard]] bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value; only when ok().
    [[nodiscard]] T& value() & {
        assert(ok());
        return std::get<0>(state_);
    }
    [[nodiscard]] const T& value() const& {
        assert(ok());
        return std::get<0>(state_);
    }
    [[nodiscard]] T&& value() && {
        assert(ok());
        return std::get<0>(std::move(state_));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    // The failure's message; only when !ok().
    [[nodiscard]] const std::string& error() const {
        assert(!ok());
        return std::get<1>(state_).message;
    }

private:
    std::variant<T, Failure> state_;
};

// The outcome of a call that gives nothing back but can fail.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)), ok_(false) {}  // NOLINT: implicit

    [[nodiscard]] bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    [[nodiscard]] const std::string& error() const {
        assert(!ok_);
        return failure_.message;
    }

private:
    Failure failure_;
    bool ok_ = true;
};

using Status = Result<void>;

}  // namespace twds
