#pragma once
// This process's resident memory, as the kernel reports it, in kB.

// Current resident size (VmRSS).
long ResidentKb();
// Highest resident size since start or since the last ResetPeakResident (VmHWM).
long PeakResidentKb();
// Restarts the peak from the current resident size.
void ResetPeakResident();
