#pragma once
// This process's resident memory, as the kernel reports it, in kB.

// Current resident size (VmRSS).
long ResidentKb();
// Highest resident size since start or since the last ResetPeakResident (VmHWM).
long PeakResidentKb();
// Restarts the peak from the current resident size.
void ResetPeakResident();

// The build runs under the address sanitizer, which holds on to freed memory:
// resident sizes then say nothing of the program's own.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif
