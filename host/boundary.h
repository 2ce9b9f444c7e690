// Where the system calls the program (window procedures, subclass procedures, thread entries)
// its own frames lie between the program's code and whoever called the system. The 32-bit
// build unwinds exceptions with DWARF tables, which cannot pass through those frames: an
// exception that reached them would end the program on the spot. So each such entry runs its
// work through CatchAtBoundary, which stops what escapes there and gives the answer the
// system's caller should see instead: the message's default answer, a failed job.
#pragma once

namespace host {

// Tells a debugger what was caught (OutputDebugString); the program carries on.
void ReportEscapedException() noexcept;

// Runs `work`; if an exception escapes it, reports it and runs `instead`, whose result is
// given in place of the work's.
template <class Work, class Instead>
auto CatchAtBoundary(Work&& work, Instead&& instead) noexcept -> decltype(work()) {
    try {
        return work();
    } catch (...) {
        ReportEscapedException();
        return instead();
    }
}

}  // namespace host
