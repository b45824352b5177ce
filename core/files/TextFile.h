#pragma once

#include <QString>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// Reads a text file line by line with the classic rules: a line ends at CR, an LF right after
// a CR belongs to that line end, a lone LF is an ordinary byte, and 0x1A ends the file.
class TTextFileReader
{
public:
    TTextFileReader() = default;
    ~TTextFileReader();
    TTextFileReader(const TTextFileReader&) = delete;
    TTextFileReader& operator=(const TTextFileReader&) = delete;

    // False when the file cannot be opened for reading (missing, a directory, no permission).
    bool Open(const QString& Path);
    void Close();

    // True at the physical end of the file or at a 0x1A byte.
    bool Eof();
    // Reads one line without its line end; false at the end of the file.
    bool ReadLine(std::string& Line);
    // The same, without a copy where the line lies whole in the read buffer: Line then views
    // the buffer, else Spill, and stays valid until the next read.
    bool ReadLine(std::string_view& Line, std::string& Spill);

    // True when a read failed after opening: what was read so far is not the whole file.
    bool ReadFailed() const { return m_ReadFailed; }
    QString ErrorString() const { return m_Error; }

private:
    bool Fill();
    int Peek();

    std::FILE* m_File = nullptr;
    std::unique_ptr<char[]> m_Buffer;
    std::size_t m_Pos = 0;
    std::size_t m_End = 0;
    bool m_AtEnd = false;
    bool m_ReadFailed = false;
    QString m_Error;
};
