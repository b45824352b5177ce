// Loaded with LD_PRELOAD: makes one chosen system call on the data file fail, so that tests
// can see what a save does when the disk or the system refuses a step.
//   DYSKAR_FAULT=<call>:<n>:<error>  the n-th <call> (open, write, pwrite, pread, fdatasync,
//                                    fsync, ftruncate, posix_fallocate, rename, close) on a
//                                    file named "Dyskar.dat..." fails with <error> (EIO,
//                                    ENOSPC, EDQUOT); fsync counts every descriptor, since a
//                                    save syncs its folder too. Opening the data file only to
//                                    read it, and closing it again, are left alone: a save
//                                    holds the old file that way, and may do without.
//   DYSKAR_FAULT_FIRED=<path>        created when the fault has been injected.
//   DYSKAR_FAULT_FILE=<part of name> the file the faults are about, instead of "Dyskar.dat"
//                                    (a journal: "journal-").
//   DYSKAR_KILL_AFTER=<n>            the process kills itself (SIGKILL) once n bytes have been
//                                    written to the data file with pwrite, as a power cut
//                                    would stop a rewrite in place there.
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace {

struct TFault
{
    std::string Call;
    long Nth = 0;
    int Error = 0;
};

const TFault& Fault()
{
    static const TFault fault = [] {
        TFault f;
        const char* setting = std::getenv("DYSKAR_FAULT");
        if (!setting)
            return f;
        const std::string text(setting);
        const std::size_t a = text.find(':');
        const std::size_t b = text.find(':', a + 1);
        if (a == std::string::npos || b == std::string::npos)
            return f;
        f.Call = text.substr(0, a);
        f.Nth = std::atol(text.substr(a + 1, b - a - 1).c_str());
        const std::string error = text.substr(b + 1);
        f.Error = error == "ENOSPC" ? ENOSPC : error == "EDQUOT" ? EDQUOT : EIO;
        return f;
    }();
    return fault;
}

template <typename F> F Next(const char* Name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, Name));
}

bool IsDataFile(const char* Path)
{
    static const char* const file = [] {
        const char* chosen = std::getenv("DYSKAR_FAULT_FILE");
        return chosen && *chosen ? chosen : "Dyskar.dat";
    }();
    return Path && std::strstr(Path, file) != nullptr;
}

// The bytes pwrite may still write to the data file before the process dies; -1 for no end.
long long KillAfter()
{
    static const long long limit = [] {
        const char* setting = std::getenv("DYSKAR_KILL_AFTER");
        return setting ? std::atoll(setting) : -1LL;
    }();
    return limit;
}

bool WritesTo(int Fd)
{
    const int flags = fcntl(Fd, F_GETFL);
    return flags >= 0 && (flags & O_ACCMODE) != O_RDONLY;
}

bool IsDataFile(int Fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", Fd);
    char name[4096];
    const ssize_t n = readlink(link, name, sizeof name - 1);
    if (n <= 0)
        return false;
    name[n] = '\0';
    return IsDataFile(name);
}

// True when this call is the one that must fail.
bool Strikes(const char* Call, bool OnDataFile)
{
    static std::atomic<long> counts[16];
    static const char* const calls[] = {"open",      "write", "pwrite",    "pread",
                                        "fdatasync", "fsync", "ftruncate", "posix_fallocate",
                                        "rename",    "close"};
    const TFault& fault = Fault();
    if (!OnDataFile || fault.Call != Call)
        return false;
    long index = 0;
    while (std::strcmp(calls[index], Call) != 0)
        ++index;
    if (++counts[index] != fault.Nth)
        return false;
    if (const char* fired = std::getenv("DYSKAR_FAULT_FIRED")) {
        static auto realOpen = Next<int (*)(const char*, int, ...)>("open");
        const int fd = realOpen(fired, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            Next<int (*)(int)>("close")(fd);
    }
    return true;
}

int Refuse()
{
    errno = Fault().Error;
    return -1;
}

int OpenWith(const char* Name, const char* Path, int Flags, va_list Args)
{
    mode_t mode = 0;
    if (Flags & (O_CREAT | O_TMPFILE))
        mode = va_arg(Args, mode_t);
    const bool writes = (Flags & O_ACCMODE) != O_RDONLY || (Flags & (O_CREAT | O_TRUNC));
    if (Strikes("open", writes && IsDataFile(Path)))
        return Refuse();
    static auto realOpen = Next<int (*)(const char*, int, ...)>(Name);
    return realOpen(Path, Flags, mode);
}

} // namespace

extern "C" {

int open(const char* Path, int Flags, ...)
{
    va_list args;
    va_start(args, Flags);
    const int fd = OpenWith("open", Path, Flags, args);
    va_end(args);
    return fd;
}

int open64(const char* Path, int Flags, ...)
{
    va_list args;
    va_start(args, Flags);
    const int fd = OpenWith("open64", Path, Flags, args);
    va_end(args);
    return fd;
}

ssize_t write(int Fd, const void* Data, size_t Size)
{
    if (Strikes("write", IsDataFile(Fd)))
        return Refuse();
    static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    return real(Fd, Data, Size);
}

ssize_t pwrite64(int Fd, const void* Data, size_t Size, off_t At)
{
    if (Strikes("pwrite", IsDataFile(Fd)))
        return Refuse();
    static auto real = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64");
    static std::atomic<long long> written{0};
    if (KillAfter() >= 0 && IsDataFile(Fd)) {
        const long long room = KillAfter() - written;
        if (room <= static_cast<long long>(Size)) {
            if (room > 0)
                real(Fd, Data, static_cast<size_t>(room), At);
            raise(SIGKILL);
        }
        written += static_cast<long long>(Size);
    }
    return real(Fd, Data, Size, At);
}

ssize_t pwrite(int Fd, const void* Data, size_t Size, off_t At)
{
    return pwrite64(Fd, Data, Size, At);
}

ssize_t pread64(int Fd, void* Data, size_t Size, off_t At)
{
    if (Strikes("pread", IsDataFile(Fd)))
        return Refuse();
    static auto real = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread64");
    return real(Fd, Data, Size, At);
}

ssize_t pread(int Fd, void* Data, size_t Size, off_t At)
{
    return pread64(Fd, Data, Size, At);
}

int fdatasync(int Fd)
{
    if (Strikes("fdatasync", IsDataFile(Fd)))
        return Refuse();
    static auto real = Next<int (*)(int)>("fdatasync");
    return real(Fd);
}

int fsync(int Fd)
{
    if (Strikes("fsync", true))
        return Refuse();
    static auto real = Next<int (*)(int)>("fsync");
    return real(Fd);
}

int ftruncate64(int Fd, off_t Length)
{
    if (Strikes("ftruncate", IsDataFile(Fd)))
        return Refuse();
    static auto real = Next<int (*)(int, off_t)>("ftruncate64");
    return real(Fd, Length);
}

int ftruncate(int Fd, off_t Length)
{
    return ftruncate64(Fd, Length);
}

int posix_fallocate64(int Fd, off_t At, off_t Length)
{
    if (Strikes("posix_fallocate", IsDataFile(Fd)))
        return Fault().Error;
    static auto real = Next<int (*)(int, off_t, off_t)>("posix_fallocate64");
    return real(Fd, At, Length);
}

int posix_fallocate(int Fd, off_t At, off_t Length)
{
    return posix_fallocate64(Fd, At, Length);
}

int rename(const char* From, const char* To)
{
    if (Strikes("rename", IsDataFile(To)))
        return Refuse();
    static auto real = Next<int (*)(const char*, const char*)>("rename");
    return real(From, To);
}

int close(int Fd)
{
    // The descriptor is closed either way, as the system does when close reports an error.
    const bool strikes = Strikes("close", WritesTo(Fd) && IsDataFile(Fd));
    static auto real = Next<int (*)(int)>("close");
    const int result = real(Fd);
    return strikes ? Refuse() : result;
}

} // extern "C"
