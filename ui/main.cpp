// vannoir: the window program.
#include <filesystem>

#include "platform/secret_memory.h"
#include "platform/single_instance.h"
#include "ui/vannoir_windows.h"

int main(int argc, char** argv) {
    // Before any password is read or typed.
    KeepSecretsOutOfCoreDumps();
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv[0]);
    LockFileInstance marker;
    return RunVannoir(argc, argv, marker, self);
}
