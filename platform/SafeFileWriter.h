#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <sys/stat.h>

// Writes a file so that the old one is replaced only when every byte of the new one is on
// disk: written beside it under a name of our own that the next save reuses, synced, given
// the old file's mode, owner and group, then renamed over it. Any failing step cancels the
// save, removes what it wrote, and leaves the old file untouched. A symbolic link keeps
// pointing at the file, which is the one written.
class TSafeFileWriter
{
public:
    explicit TSafeFileWriter(const QString& Path);
    ~TSafeFileWriter();
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    bool Open();
    // Buffers the bytes; a failure is remembered and reported by Commit().
    void Write(std::string_view Bytes);
    // Flushes, syncs and replaces the old file. False (with ErrorString()) on any failure.
    bool Commit();
    // Why the save failed, in Polish.
    QString ErrorString() const { return m_Error; }

private:
    bool FlushBuffer();
    bool Fail(int Errno);
    bool Fail(const QString& Reason);
    void Discard();

    std::string m_Path;
    std::string m_Target;
    std::string m_Temp;
    int m_Fd = -1;
    std::string m_Buffer;
    long long m_Written = 0;
    bool m_Failed = false;
    QString m_Error;
};
