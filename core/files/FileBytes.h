#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <sys/types.h>

// Bytes to and from a file descriptor, whole or not at all: each gives 0, or the error that
// stopped it (ENOSPC for a write the disk took nothing of, EIO for a file that ended early).
namespace FileBytes {

int WriteAt(int Fd, std::string_view Bytes, off_t At = 0);
// The first Size bytes of the file.
int ReadAt(int Fd, std::size_t Size, std::string& Bytes);
// A folder's names on disk, as a rename or a new file in it needs; a file system that cannot
// sync folders counts as done.
int SyncFolder(const std::string& Folder);
// The file a path names, through symbolic links; the path itself where it names nothing.
std::string RealPath(const std::string& Path);

} // namespace FileBytes
