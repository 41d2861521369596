#include "platform/main_thread.h"

#include <thread>

namespace {
const std::thread::id& MainId() {
    static const std::thread::id id = std::this_thread::get_id();
    return id;
}
// Touch it during static initialisation, on the thread that starts the process.
[[maybe_unused]] const bool recorded = (MainId(), true);
}  // namespace

bool IsMainThread() { return std::this_thread::get_id() == MainId(); }
