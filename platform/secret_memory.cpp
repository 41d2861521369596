#include "platform/secret_memory.h"

#include <string.h>
#include <sys/prctl.h>
#include <sys/resource.h>

bool KeepSecretsOutOfCoreDumps() {
    const rlimit none{0, 0};
    const bool noCore = ::setrlimit(RLIMIT_CORE, &none) == 0;
    const bool notDumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    return noCore && notDumpable;
}

void WipeSecret(std::string& secret) {
    if (!secret.empty()) ::explicit_bzero(secret.data(), secret.size());
    secret.clear();
}
