#pragma once

#include <csignal>
#include <sys/resource.h>

// Runs work while this process may write no file beyond the given size, as on a full disk: a
// write beyond it fails with an error (the signal that would end the process is ignored).
// False when the limit could not be set. Keep work free of test output, which may go to a file.
template<typename Work>
bool WithFileSizeLimit(rlim_t bytes, Work work)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit lowered = old;
    lowered.rlim_cur = bytes;
    if (::setrlimit(RLIMIT_FSIZE, &lowered) != 0)
        return false;
    work();
    ::setrlimit(RLIMIT_FSIZE, &old);
    return true;
}
