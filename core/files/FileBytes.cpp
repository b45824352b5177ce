#include "FileBytes.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace FileBytes {

int WriteAt(int Fd, std::string_view Bytes, off_t At)
{
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t n = ::pwrite(Fd, Bytes.data() + done, Bytes.size() - done, At + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int ReadAt(int Fd, std::size_t Size, std::string& Bytes)
{
    Bytes.assign(Size, '\0');
    std::size_t done = 0;
    while (done < Size) {
        const ssize_t n = ::pread(Fd, Bytes.data() + done, Size - done, off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int SyncFolder(const std::string& Folder)
{
    const int dir = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return errno;
    const int error = ::fsync(dir) == 0 || errno == EINVAL ? 0 : errno;
    ::close(dir);
    return error;
}

std::string RealPath(const std::string& Path)
{
    char* real = ::realpath(Path.c_str(), nullptr);
    if (!real)
        return Path;
    std::string result(real);
    std::free(real);
    return result;
}

} // namespace FileBytes
