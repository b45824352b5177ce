#include "Printing.h"

#include "Cp1250.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <optional>

namespace {

QFont ToQFont(const TFont& Font)
{
    QFont f(Cp1250::ToUnicode(Font.Name));
    f.setPointSize(Font.Size);
    f.setBold(Font.Style & fsBold);
    f.setItalic(Font.Style & fsItalic);
    f.setUnderline(Font.Style & fsUnderline);
    f.setStrikeOut(Font.Style & fsStrikeOut);
    f.setStyleHint(Font.Name == "Courier New" ? QFont::TypeWriter : QFont::SansSerif);
    return f;
}

class TQtPrinter final : public TPrinterCanvas
{
public:
    explicit TQtPrinter(QString PdfPath) : m_PdfPath(std::move(PdfPath)) {}

    void BeginDoc() override
    {
        if (m_Painter)
            throw EPrinter("Printing in progress");
        if (m_PdfPath.isEmpty()) {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull())
                throw EPrinter("There is no default printer currently selected");
            m_Printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        } else {
            m_Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            m_Printer->setOutputFormat(QPrinter::PdfFormat);
            m_Printer->setOutputFileName(m_PdfPath);
            m_Printer->setResolution(300);
        }
        m_Printer->setDocName(Cp1250::ToUnicode(Title()));
        m_Cached.reset(); // metrics belong to the device
        m_PainterFont.reset();
        m_Painter = std::make_unique<QPainter>();
        if (!m_Painter->begin(m_Printer.get())) {
            m_Painter.reset();
            m_Printer.reset();
            throw EPrinter("Printer selected is not valid");
        }
    }
    void EndDoc() override
    {
        if (!m_Painter)
            return;
        m_Painter->end();
        m_Painter.reset();
        m_Printer.reset();
        m_Cached.reset();
    }
    void Abort() override
    {
        if (!m_Painter)
            return;
        m_Printer->abort();
        m_Painter->end();
        m_Painter.reset();
        m_Printer.reset();
        m_Cached.reset();
    }
    void NewPage() override
    {
        if (m_Printer)
            m_Printer->newPage();
    }
    bool Printing() const override { return m_Painter != nullptr; }
    int PageHeight() const override
    {
        return m_Printer ? m_Printer->pageLayout().paintRectPixels(m_Printer->resolution()).height()
                         : 1 << 30;
    }
    void TextOut(int X, int Y, const std::string& Text) override
    {
        if (!m_Painter || Text.empty())
            return;
        const TCached& font = Current();
        if (m_PainterFont != Font()) {
            m_Painter->setFont(font.QtFont);
            m_Painter->setPen(Font().Color);
            m_PainterFont = Font();
        }
        m_Painter->drawText(QPoint(X, Y + font.Metrics.ascent()), Cp1250::ToUnicode(Text));
    }
    int TextWidth(const std::string& Text) override
    {
        return Current().Metrics.horizontalAdvance(Cp1250::ToUnicode(Text));
    }
    int TextHeight(const std::string&) override { return Current().Metrics.height(); }

private:
    // A table switches between a few fonts thousands of times; resolve each only once.
    struct TCached
    {
        QFont QtFont;
        QFontMetrics Metrics;
    };
    const TCached& Current()
    {
        if (!m_Cached || m_CachedFor != Font()) {
            const QFont f = ToQFont(Font());
            m_Cached.reset(
                new TCached{f, m_Printer ? QFontMetrics(f, m_Printer.get()) : QFontMetrics(f)});
            m_CachedFor = Font();
        }
        return *m_Cached;
    }

    std::unique_ptr<TCached> m_Cached;
    TFont m_CachedFor;
    std::optional<TFont> m_PainterFont;

    QString m_PdfPath;
    std::unique_ptr<QPrinter> m_Printer;
    std::unique_ptr<QPainter> m_Painter;
};

std::unique_ptr<TPrinterCanvas>& Service()
{
    static std::unique_ptr<TPrinterCanvas> service;
    return service;
}

} // namespace

TPrinterCanvas& Printer()
{
    auto& service = Service();
    if (!service)
        service = MakeQtPrinter();
    return *service;
}

std::unique_ptr<TPrinterCanvas> SetPrinter(std::unique_ptr<TPrinterCanvas> Printer)
{
    auto previous = std::move(Service());
    Service() = std::move(Printer);
    return previous;
}

std::unique_ptr<TPrinterCanvas> MakeQtPrinter(const QString& PdfPath)
{
    return std::make_unique<TQtPrinter>(PdfPath);
}
