#include "FileVersion.h"

#include <QString>

#include <cstring>
#include <map>

namespace {

std::string Key(const char* FileName)
{
    return QString::fromLatin1(FileName ? FileName : "").toUpper().toStdString();
}

std::map<std::string, FileVersion::TVersion>& Table()
{
    static std::map<std::string, FileVersion::TVersion> table = {{"COMCTL32.DLL", {6, 0, 0, 0}}};
    return table;
}

// The block read into the caller's buffer: a tag, then the fixed file information.
constexpr char kTag[8] = "VS_INFO";
struct TBlock
{
    char Tag[8];
    Win::VS_FIXEDFILEINFO Fixed;
};

} // namespace

namespace Win {

std::uint32_t GetFileVersionInfoSizeA(const char* FileName, std::uint32_t* Handle)
{
    if (Handle)
        *Handle = 0;
    return Table().count(Key(FileName)) ? sizeof(TBlock) : 0;
}

bool GetFileVersionInfoA(const char* FileName, std::uint32_t, std::uint32_t Size, void* Data)
{
    const auto it = Table().find(Key(FileName));
    if (it == Table().end() || !Data || Size < sizeof(TBlock))
        return false;
    TBlock block;
    std::memcpy(block.Tag, kTag, sizeof kTag);
    const FileVersion::TVersion& v = it->second;
    block.Fixed.dwFileVersionMS = std::uint32_t(v.Major) << 16 | v.Minor;
    block.Fixed.dwFileVersionLS = std::uint32_t(v.Release) << 16 | v.Build;
    block.Fixed.dwProductVersionMS = block.Fixed.dwFileVersionMS;
    block.Fixed.dwProductVersionLS = block.Fixed.dwFileVersionLS;
    std::memcpy(Data, &block, sizeof block);
    return true;
}

bool VerQueryValueA(const void* Block, const char* SubBlock, void** Buffer, unsigned* Length)
{
    if (!Block || !SubBlock || std::strcmp(SubBlock, "\\") != 0 || !Buffer)
        return false;
    auto* block = static_cast<TBlock*>(const_cast<void*>(Block));
    if (std::memcmp(block->Tag, kTag, sizeof kTag) != 0)
        return false;
    *Buffer = &block->Fixed;
    if (Length)
        *Length = sizeof(VS_FIXEDFILEINFO);
    return true;
}

} // namespace Win

namespace FileVersion {

void Install(const std::string& FileName, std::optional<TVersion> Version)
{
    if (Version)
        Table()[Key(FileName.c_str())] = *Version;
    else
        Table().erase(Key(FileName.c_str()));
}

} // namespace FileVersion
