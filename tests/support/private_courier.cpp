#include "support/private_courier.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {
// The script's exit status when Courier cannot run on this machine.
constexpr int kCannotRun = 77;

int RunScript(const std::string& action, const std::filesystem::path& folder,
              const std::filesystem::path& log) {
    const std::string script =
        (std::filesystem::path(VANNOIR_TEST_DATA) / ".." / ".." / "scripts" / "courier").string();
    const std::string command =
        "bash '" + script + "' " + action + " '" + folder.string() + "' >'" + log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
}  // namespace

PrivateCourier::PrivateCourier(const std::filesystem::path& folder) : folder_(folder) {
    std::filesystem::create_directories(folder_);
    const std::filesystem::path log = folder_ / "start.log";
    const int status = RunScript("start", folder_, log);
    if (status == kCannotRun) {
        unavailable_ = Text(log);
        if (unavailable_.empty()) unavailable_ = "Courier cannot run here";
        return;
    }
    if (status != 0) throw std::runtime_error("scripts/courier start failed: " + Text(log));
    auto started = PrivateDovecot::FromFolder(folder_.string());
    if (!started) throw std::runtime_error("scripts/courier wrote no settings into " + folder_.string());
    server_ = *started;
}

PrivateCourier::~PrivateCourier() {
    if (Running()) RunScript("stop", folder_, folder_ / "stop.log");
}
