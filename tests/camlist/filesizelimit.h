#pragma once

#include <csignal>
#include <sys/resource.h>

// Lowers the largest file this process may write, as a full disk would: a write beyond it fails
// with an error (the signal that would end the process is ignored). Restored on destruction.
// Keep the scope free of test output, which may go to a file.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(long long bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lowered = m_old;
        lowered.rlim_cur = static_cast<rlim_t>(bytes < 0 ? 0 : bytes);
        m_ok = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~ScopedFileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_old); }
    ScopedFileSizeLimit(const ScopedFileSizeLimit &) = delete;
    ScopedFileSizeLimit &operator=(const ScopedFileSizeLimit &) = delete;

    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    bool m_ok = false;
};
