#pragma once

#include "SafeFileWriter.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

class TCustomListView;

// The catalogue's data file: where it lives, how its lines split into fields, how it is read
// into the master list and written back, and how a disc count field is read.
namespace Catalogue {

// A record's fields, in the order of a line of the file and of a row's texts.
enum TField
{
    fdName,
    fdKind,
    fdDiscs,
    fdShelf,
    fdLentTo
};
constexpr int kFieldCount = fdLentTo + 1;

// Field N (0..4) of a TAB-separated line; empty beyond the last TAB.
std::string PobierzPole(std::string_view Line, unsigned char N);

// The directory of the executable plus "/Dyskar.dat" (a root directory keeps its separator).
QString DataFilePath(const QString& ExecutablePath);

// Which file stands at a path and in what state, to tell whether someone else wrote it.
struct TFileStamp
{
    bool Exists = false;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    bool operator==(const TFileStamp&) const = default;
};
TFileStamp StampOf(const QString& Path);
// True when something stands at the path, be it unreadable or a broken link.
bool SomethingAt(const QString& Path);

struct TLoadResult
{
    bool Opened = false;
    bool ReadFailed = false; // the file broke off while it was read
    std::int64_t Records = 0;
    QString Error;
};

// Appends one master row per line of the file; a missing or unreadable file adds nothing.
TLoadResult Load(const QString& Path, TCustomListView& Master);

struct TSaveResult
{
    bool Ok = false;
    QString Error;
};

// Replaces the file by the lines of all master rows; on failure the old file stays as it was.
// Care says what the save asks beyond the bytes (a journal for a rewrite in place, a word
// before the old file changes).
TSaveResult Save(const QString& Path, const TCustomListView& Master,
                 TSafeFileWriter::TCare Care = {});

// The number a disc count field counts in the status bar.
std::int64_t DiscCount(std::string_view Field);

} // namespace Catalogue
