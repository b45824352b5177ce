#include "TextFile.h"

#include "SystemError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {
constexpr std::size_t kReadChunk = 1 << 20;
constexpr char kCtrlZ = 0x1A;
constexpr char kCr = 0x0D;
constexpr char kLf = 0x0A;
} // namespace

TTextFileReader::~TTextFileReader()
{
    Close();
}

bool TTextFileReader::Open(const QString& Path)
{
    Close();
    m_ReadFailed = false;
    m_Error.clear();
    if (QFileInfo(Path).isDir()) {
        m_Error = SystemErrorText(EISDIR);
        return false;
    }
    m_File = std::fopen(QFile::encodeName(Path).constData(), "rb");
    if (!m_File) {
        m_Error = SystemErrorText(errno);
        return false;
    }
    m_Buffer = std::make_unique_for_overwrite<char[]>(kReadChunk);
    m_Pos = m_End = 0;
    m_AtEnd = false;
    return true;
}

void TTextFileReader::Close()
{
    if (m_File)
        std::fclose(m_File);
    m_File = nullptr;
    m_Buffer.reset();
    m_Pos = m_End = 0;
    m_AtEnd = true;
}

bool TTextFileReader::Fill()
{
    if (m_AtEnd || !m_File)
        return false;
    m_Pos = 0;
    m_End = std::fread(m_Buffer.get(), 1, kReadChunk, m_File);
    if (m_End == 0) {
        if (std::ferror(m_File)) {
            m_ReadFailed = true;
            m_Error = SystemErrorText(errno);
        }
        m_AtEnd = true;
        return false;
    }
    return true;
}

int TTextFileReader::Peek()
{
    if (m_Pos == m_End && !Fill())
        return -1;
    return static_cast<unsigned char>(m_Buffer[m_Pos]);
}

bool TTextFileReader::Eof()
{
    const int c = Peek();
    if (c == kCtrlZ)
        m_AtEnd = true;
    return c < 0 || c == kCtrlZ;
}

bool TTextFileReader::ReadLine(std::string_view& Line, std::string& Spill)
{
    Line = {};
    if (Eof())
        return false;
    const char* begin = m_Buffer.get() + m_Pos;
    const std::size_t avail = m_End - m_Pos;
    const auto* cr = static_cast<const char*>(std::memchr(begin, kCr, avail));
    // Handed out in place only when a byte after the CR is at hand to tell whether an LF
    // follows: looking further would refill the buffer under the view.
    if (cr && cr + 1 < begin + avail &&
        !std::memchr(begin, kCtrlZ, static_cast<std::size_t>(cr - begin))) {
        Line = std::string_view(begin, static_cast<std::size_t>(cr - begin));
        m_Pos += Line.size() + 1;
        if (m_Buffer[m_Pos] == kLf)
            ++m_Pos;
        return true;
    }
    ReadLine(Spill);
    Line = Spill;
    return true;
}

bool TTextFileReader::ReadLine(std::string& Line)
{
    Line.clear();
    if (Eof())
        return false;
    for (;;) {
        if (m_Pos == m_End && !Fill())
            return true; // last line without a line end
        const char* begin = m_Buffer.get() + m_Pos;
        const std::size_t avail = m_End - m_Pos;
        const char* const end = begin + avail;
        // The line end first, then an end of file before it: two scans at the speed of the
        // library's, not one byte by byte.
        const auto* cr = static_cast<const char*>(std::memchr(begin, kCr, avail));
        const char* stop = cr ? cr : end;
        if (const auto* z = static_cast<const char*>(
                std::memchr(begin, kCtrlZ, static_cast<std::size_t>(stop - begin))))
            stop = z;
        Line.append(begin, static_cast<std::size_t>(stop - begin));
        m_Pos += static_cast<std::size_t>(stop - begin);
        if (stop == end)
            continue;
        if (*stop == kCtrlZ) {
            m_AtEnd = true; // the rest of the file is never read
            return true;
        }
        ++m_Pos; // the CR
        if (Peek() == kLf)
            ++m_Pos;
        return true;
    }
}
