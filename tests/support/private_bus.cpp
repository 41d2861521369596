#include "support/private_bus.h"

#include <cstdlib>

namespace {

constexpr const char* kBus = "DBUS_SESSION_BUS_ADDRESS";

}  // namespace

SessionBusAddress::SessionBusAddress(const std::string& address) {
    if (const char* old = std::getenv(kBus)) saved_ = old;
    ::setenv(kBus, address.c_str(), 1);
}

SessionBusAddress::~SessionBusAddress() {
    if (saved_)
        ::setenv(kBus, saved_->c_str(), 1);
    else
        ::unsetenv(kBus);
}

std::unique_ptr<PrivateBus> PrivateBus::Start(const char* script) {
    std::unique_ptr<PrivateBus> bus(new PrivateBus(script));
    if (bus->Run("start") != 0) {
        bus->Run("stop");
        return nullptr;
    }
    std::string address = FileBytes(bus->Dir() / "address");
    while (!address.empty() && (address.back() == '\n' || address.back() == '\r')) address.pop_back();
    bus->address_ = address;
    bus->using_ = std::make_unique<SessionBusAddress>(address);
    return bus;
}

PrivateBus::~PrivateBus() {
    using_.reset();
    Run("stop");
}

int PrivateBus::Run(const std::string& action, const std::string& more) const {
    const std::string command = std::string("bash '") + script_ + "' " + action + " '" + Dir().string() +
                                "' " + more + " >/dev/null 2>&1";
    return std::system(command.c_str());
}
