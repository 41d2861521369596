#pragma once
// Runs a test under a fixed TZ setting ("Europe/Paris", "UTC", "Etc/GMT-1"...)
// and puts the previous setting back afterwards, so date tests never depend on
// the machine's own zone.
#include <optional>
#include <string>

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};
