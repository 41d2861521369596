#include "support/private_notifications.h"

#include <cstdlib>

namespace {

int RunScript(const std::string& action, const std::filesystem::path& dir, const std::string& more = {}) {
    const std::string command = std::string("bash '") + VANNOIR_NOTIFICATION_SCRIPT + "' " + action + " '" +
                                dir.string() + "' " + more + " >/dev/null 2>&1";
    return std::system(command.c_str());
}

}  // namespace

std::unique_ptr<PrivateNotifications> PrivateNotifications::Start() {
    std::unique_ptr<PrivateNotifications> service(new PrivateNotifications());
    if (RunScript("start", service->dir_.Path()) != 0) {
        RunScript("stop", service->dir_.Path());
        return nullptr;
    }
    std::string address = FileBytes(service->dir_ / "address");
    while (!address.empty() && (address.back() == '\n' || address.back() == '\r')) address.pop_back();
    if (const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS")) service->savedAddress_ = old;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    return service;
}

PrivateNotifications::~PrivateNotifications() {
    if (savedAddress_)
        ::setenv("DBUS_SESSION_BUS_ADDRESS", savedAddress_->c_str(), 1);
    else
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    RunScript("stop", dir_.Path());
}

std::vector<std::string> PrivateNotifications::Notices() const {
    std::vector<std::string> lines;
    std::string bytes = FileBytes(dir_ / "notices");
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

void PrivateNotifications::Click(int id) { RunScript("click", dir_.Path(), std::to_string(id)); }
