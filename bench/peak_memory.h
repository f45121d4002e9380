// The process's peak memory so far, in KiB: its largest resident set (the
// peak working set on Windows; Wine's peak commit figure is not the
// process's). -1 when the platform does not tell.
#pragma once

long long PeakKib();
