#pragma once
// A desktop notification service for one test (scripts/notification-service)
// on a session bus of its own, which this process uses
// (DBUS_SESSION_BUS_ADDRESS) until the object goes.
//
//   auto service = PrivateNotifications::Start();
//   if (!service) GTEST_SKIP() << "no session bus";
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/private_bus.h"

class PrivateNotifications {
public:
    // Nothing when the bus or the service's Python cannot start.
    static std::unique_ptr<PrivateNotifications> Start();

    // "summary|body" of each notification received, in order ("\n" in a body as "\\n").
    std::vector<std::string> Notices() const;
    // The user clicks notification `id` (the first one sent is 1).
    void Click(int id);

private:
    explicit PrivateNotifications(std::unique_ptr<PrivateBus> bus) : bus_(std::move(bus)) {}
    std::unique_ptr<PrivateBus> bus_;
};
