#pragma once

#include <gtest/gtest.h>

#include <string>

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

}  // namespace twds::test
