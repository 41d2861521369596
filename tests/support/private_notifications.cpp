#include "support/private_notifications.h"

#include <string>

std::unique_ptr<PrivateNotifications> PrivateNotifications::Start() {
    std::unique_ptr<PrivateBus> bus = PrivateBus::Start(VANNOIR_NOTIFICATION_SCRIPT);
    return bus ? std::unique_ptr<PrivateNotifications>(new PrivateNotifications(std::move(bus))) : nullptr;
}

std::vector<std::string> PrivateNotifications::Notices() const {
    std::vector<std::string> lines;
    std::string bytes = FileBytes(bus_->Dir() / "notices");
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

void PrivateNotifications::Click(int id) { bus_->Run("click", std::to_string(id)); }
