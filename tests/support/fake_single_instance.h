#pragma once
// A single-instance marker that answers as told and records what was asked.
#include <string>
#include <string_view>
#include <vector>

#include "platform/single_instance.h"

class FakeSingleInstance : public SingleInstance {
public:
    explicit FakeSingleInstance(bool otherCopyRunning = false) : otherCopyRunning_(otherCopyRunning) {}
    bool Acquire(std::string_view name) override {
        asked.emplace_back(name);
        return !otherCopyRunning_;
    }
    std::vector<std::string> asked;

private:
    bool otherCopyRunning_;
};
