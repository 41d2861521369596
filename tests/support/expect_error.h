#pragma once
// Runs `action`, expecting it to throw an E. Returns the caught error, or
// nothing after adding a test failure when it threw nothing (another
// exception type propagates and fails the test).
//
//   auto e = ExpectThrown<EIdSocketError>([&] { client.OpenConnection(); });
//   ASSERT_TRUE(e);
//   EXPECT_EQ(e->LastError(), 10061);
#include <gtest/gtest.h>

#include <optional>

template <typename E, typename Action>
std::optional<E> ExpectThrown(Action&& action) {
    try {
        action();
    } catch (const E& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was thrown";
    return std::nullopt;
}
