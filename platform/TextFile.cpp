#include "TextFile.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {
constexpr std::size_t kReadChunk = 1 << 20;
constexpr std::size_t kWriteChunk = 1 << 20;
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
        m_Error = QStringLiteral("is a directory");
        return false;
    }
    m_File = std::fopen(QFile::encodeName(Path).constData(), "rb");
    if (!m_File) {
        m_Error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_Buffer = std::make_unique<char[]>(kReadChunk);
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
            m_Error = QString::fromLocal8Bit(std::strerror(errno));
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
        const char* stop = begin;
        const char* const end = begin + avail;
        while (stop != end && *stop != kCr && *stop != kCtrlZ)
            ++stop;
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

TSafeFileWriter::TSafeFileWriter(const QString& Path) : m_File(Path) {}

TSafeFileWriter::~TSafeFileWriter()
{
    if (m_File.isOpen())
        m_File.cancelWriting();
}

void TSafeFileWriter::Fail(const QString& Reason)
{
    if (!m_Failed) {
        m_Failed = true;
        m_Error = Reason.isEmpty() ? QStringLiteral("unknown error") : Reason;
    }
    if (m_File.isOpen())
        m_File.cancelWriting();
}

bool TSafeFileWriter::Open()
{
    m_Failed = false;
    m_Error.clear();
    m_Buffer.clear();
    const QFileInfo target(m_File.fileName());
    if (target.isDir()) {
        Fail(QStringLiteral("a directory stands in place of the file"));
        return false;
    }
    if (!m_File.open(QIODevice::WriteOnly)) {
        Fail(m_File.errorString());
        return false;
    }
    m_Buffer.reserve(kWriteChunk);
    return true;
}

bool TSafeFileWriter::FlushBuffer()
{
    if (m_Failed)
        return false;
    std::size_t done = 0;
    while (done < m_Buffer.size()) {
        const qint64 n =
            m_File.write(m_Buffer.data() + done, static_cast<qint64>(m_Buffer.size() - done));
        if (n <= 0) {
            Fail(m_File.errorString());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    m_Buffer.clear();
    // QSaveFile buffers too; push it to the kernel now so that a full disk shows here.
    if (!m_File.flush() || m_File.error() != QFileDevice::NoError) {
        Fail(m_File.errorString());
        return false;
    }
    return true;
}

void TSafeFileWriter::Write(std::string_view Bytes)
{
    if (m_Failed)
        return;
    m_Buffer.append(Bytes);
    if (m_Buffer.size() >= kWriteChunk)
        FlushBuffer();
}

bool TSafeFileWriter::Commit()
{
    if (m_Failed || !m_File.isOpen()) {
        if (!m_Failed)
            Fail(QStringLiteral("the file is not open"));
        return false;
    }
    if (!FlushBuffer())
        return false;
    const qint64 expected = m_File.pos();
    if (m_File.size() != expected) {
        Fail(QStringLiteral("the file was not written completely"));
        return false;
    }
    if (!m_File.commit()) {
        m_Failed = true;
        m_Error = m_File.errorString();
        return false;
    }
    return true;
}
