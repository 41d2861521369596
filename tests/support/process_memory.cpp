#include "support/process_memory.h"

#include <fstream>
#include <string>

namespace {

long StatusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word != key) continue;
        long kb = 0;
        status >> kb;
        return kb;
    }
    return 0;
}

}  // namespace

long ResidentKb() { return StatusKb("VmRSS:"); }
long PeakResidentKb() { return StatusKb("VmHWM:"); }
void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }
