#pragma once
// While an instance lives, every write that takes a file past a few bytes
// fails for real, as on a full disk: the soft file-size limit is lowered and
// SIGXFSZ ignored, so the write ends with EFBIG ("File too large") instead of
// the process. Both are put back when it goes; keep its life to the save.
#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes = 8)
    {
        getrlimit(RLIMIT_FSIZE, &before);
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &handler);
        rlimit low = before;
        low.rlim_cur = bytes;
        set = setrlimit(RLIMIT_FSIZE, &low) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &before);
        sigaction(SIGXFSZ, &handler, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // False when the limit could not be lowered (the test cannot run).
    bool active() const { return set; }

private:
    rlimit before{};
    struct sigaction handler = {};
    bool set = false;
};
