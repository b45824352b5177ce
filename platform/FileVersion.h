#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The version information of library files, as the platform gives it: a size, a block read
// into the caller's buffer, and the fixed file information at its root ("\"). The list
// control reports itself as "COMCTL32.DLL" version 6.0.0.0; tests install other versions.
namespace Win {

struct VS_FIXEDFILEINFO
{
    std::uint32_t dwSignature = 0xFEEF04BD;
    std::uint32_t dwStrucVersion = 0x10000;
    std::uint32_t dwFileVersionMS = 0;
    std::uint32_t dwFileVersionLS = 0;
    std::uint32_t dwProductVersionMS = 0;
    std::uint32_t dwProductVersionLS = 0;
};

// Zero when the file has no version information.
std::uint32_t GetFileVersionInfoSizeA(const char* FileName, std::uint32_t* Handle);
bool GetFileVersionInfoA(const char* FileName, std::uint32_t Handle, std::uint32_t Size,
                         void* Data);
bool VerQueryValueA(const void* Block, const char* SubBlock, void** Buffer, unsigned* Length);

} // namespace Win

namespace FileVersion {

struct TVersion
{
    std::uint16_t Major = 0;
    std::uint16_t Minor = 0;
    std::uint16_t Release = 0;
    std::uint16_t Build = 0;
};

// Gives a file (named without a folder, in any case) this version, or none to take its
// version information away.
void Install(const std::string& FileName, std::optional<TVersion> Version);

} // namespace FileVersion
