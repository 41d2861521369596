#include "platform/command_output.h"

#include <sys/wait.h>

#include <cstdio>

#include "platform/text.h"

CommandOutput RunForFirstLine(const std::string& command) {
    CommandOutput result;
    FILE* pipe = ::popen(("exec </dev/null; " + command).c_str(), "r");
    if (!pipe) return result;
    constexpr std::size_t kLongestLine = 65536;
    std::string line;
    bool ended = false;
    char chunk[4096];
    // Read to the end, so that the command never blocks on a full pipe.
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        for (std::size_t i = 0; i < n && !ended; ++i) {
            if (chunk[i] == '\n')
                ended = true;
            else if (line.size() < kLongestLine)
                line += chunk[i];
        }
    }
    const int status = ::pclose(pipe);
    result.status = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.firstLine = Trim(line);
    return result;
}
