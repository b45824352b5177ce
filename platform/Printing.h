#pragma once

#include <QColor>
#include <QString>

#include <memory>
#include <stdexcept>
#include <string>

class QPrinter;

enum TFontStyle : unsigned
{
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8
};
using TFontStyles = unsigned;

// A font description: face, size in points, style set, colour.
struct TFont
{
    std::string Name = "MS Sans Serif";
    int Size = 8;
    TFontStyles Style = 0;
    QColor Color = Qt::black;

    bool operator==(const TFont& Other) const = default;
};

// An error of the printing service; its message is shown to the user as it stands.
class EPrinter : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The printing service with its page canvas. Positions and text measures are device pixels;
// font sizes are points. The current font lasts from one document to the next.
class TPrinterCanvas
{
public:
    virtual ~TPrinterCanvas() = default;

    void SetTitle(const std::string& Title) { m_Title = Title.substr(0, 31); }
    const std::string& Title() const { return m_Title; }

    // Opens the document and its first page; throws EPrinter.
    virtual void BeginDoc() = 0;
    virtual void EndDoc() = 0;
    // Drops an open document, so that the service does not stay busy after a failure.
    virtual void Abort() = 0;
    virtual void NewPage() = 0;
    virtual bool Printing() const = 0;
    // Height of the printable area in device pixels.
    virtual int PageHeight() const = 0;

    // The canvas's own current font object.
    TFont& Font() { return m_Font; }
    void SetFont(const TFont& Font) { m_Font = Font; }
    void SetFontSize(int Size) { m_Font.Size = Size; }

    // Texts are Windows-1250 bytes.
    virtual void TextOut(int X, int Y, const std::string& Text) = 0;
    virtual int TextWidth(const std::string& Text) = 0;
    virtual int TextHeight(const std::string& Text) = 0;

private:
    std::string m_Title;
    TFont m_Font;
};

// The process-wide printing service: the system's default printer unless replaced.
TPrinterCanvas& Printer();
// Replaces the service (tests, print to PDF); returns the previous one.
std::unique_ptr<TPrinterCanvas> SetPrinter(std::unique_ptr<TPrinterCanvas> Printer);

// Prints through Qt: to the default printer, or to a PDF file when a path is given.
std::unique_ptr<TPrinterCanvas> MakeQtPrinter(const QString& PdfPath = QString());
// Prints on a printer of the caller's (a print preview's), which stays the caller's.
std::unique_ptr<TPrinterCanvas> MakeQtPrinterOn(QPrinter& Target);
// The page a preview and a PDF are laid out on: the default printer's, or A4 without one.
void SetUpPage(QPrinter& Printer);
