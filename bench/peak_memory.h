// The process's peak memory so far, in KiB: its largest resident set on
// Linux, its largest commit on Windows (what a 32-bit host's address space
// must hold). -1 when the platform does not tell.
#pragma once

long long PeakKib();
