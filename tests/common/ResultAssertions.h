#pragma once

#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "twds/Result.h"

namespace twds::test {

// EXPECT_TRUE(Succeeded(call())): a failure shows the call's message.
template <typename T>
::testing::AssertionResult Succeeded(const Result<T>& result) {
    if (result.ok()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "failed: " << result.error();
}

// The message of a call expected to fail; "(succeeded)" when it did not.
template <typename T>
std::string FailureText(const Result<T>& result) {
    return result.ok() ? std::string("(succeeded)") : result.error();
}

// The value of `result`, or a default T with `error` set to the failure's
// message: for tests that check a value and the message beside it.
template <typename T>
T ValueOr(Result<T> result, std::string& error) {
    if (!result) {
        error = result.error();
        return T{};
    }
    error.clear();
    return std::move(result).value();
}

}  // namespace twds::test
