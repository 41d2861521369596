#include "tools/cli_password.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

std::optional<std::string> ReadPasswordFromInput(std::string_view prompt) {
    std::string line;
    bool read = false;
    if (isatty(STDIN_FILENO)) {
        std::cerr << prompt << std::flush;
        termios saved{};
        const bool quiet = tcgetattr(STDIN_FILENO, &saved) == 0;
        if (quiet) {
            termios noEcho = saved;
            noEcho.c_lflag &= static_cast<tcflag_t>(~ECHO);
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &noEcho);
        }
        read = static_cast<bool>(std::getline(std::cin, line));
        if (quiet) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::cerr << '\n';
    } else {
        read = static_cast<bool>(std::getline(std::cin, line));
    }
    if (read && !line.empty() && line.back() == '\r') line.pop_back();
    if (!read || line.empty()) return std::nullopt;
    return line;
}
