#pragma once
// Runs `action`, expecting it to throw an E. Returns the caught error (the
// thrown object itself, so E may be an abstract base), or nothing after
// adding a test failure when it threw nothing (another exception type
// propagates and fails the test).
//
//   auto e = ExpectThrown<EIdSocketError>([&] { client.OpenConnection(); });
//   ASSERT_TRUE(e);
//   EXPECT_EQ(e->LastError(), 10061);
#include <gtest/gtest.h>

#include <exception>

template <typename E>
class CaughtError {
public:
    CaughtError() = default;
    CaughtError(std::exception_ptr held, const E& error) : held_(std::move(held)), error_(&error) {}
    explicit operator bool() const { return error_ != nullptr; }
    const E* operator->() const { return error_; }
    const E& operator*() const { return *error_; }

private:
    std::exception_ptr held_;  // keeps the thrown object alive
    const E* error_ = nullptr;
};

template <typename E, typename Action>
CaughtError<E> ExpectThrown(Action&& action) {
    try {
        action();
    } catch (const E& e) {
        return CaughtError<E>(std::current_exception(), e);
    }
    ADD_FAILURE() << "nothing was thrown";
    return {};
}
