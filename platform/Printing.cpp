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
    explicit TQtPrinter(QPrinter& Target) : m_Target(&Target) {}

    void BeginDoc() override
    {
        if (m_Painter)
            throw EPrinter("Printing in progress");
        if (m_Target) {
            m_Printer = m_Target; // the caller's
        } else if (m_PdfPath.isEmpty()) {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull())
                throw EPrinter("There is no default printer currently selected");
            m_Owned = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
            m_Printer = m_Owned.get();
        } else {
            m_Owned = std::make_unique<QPrinter>(QPrinter::HighResolution);
            m_Printer = m_Owned.get();
            SetUpPage(*m_Printer);
            m_Printer->setOutputFormat(QPrinter::PdfFormat);
            m_Printer->setOutputFileName(m_PdfPath);
        }
        m_Printer->setDocName(Cp1250::ToUnicode(Title()));
        m_Cached.reset(); // metrics belong to the device
        m_PainterFont.reset();
        m_Painter = std::make_unique<QPainter>();
        if (!m_Painter->begin(m_Printer)) {
            m_Painter.reset();
            LetGoOfPrinter();
            throw EPrinter("Printer selected is not valid");
        }
    }
    void EndDoc() override
    {
        if (!m_Painter)
            return;
        m_Painter->end();
        m_Painter.reset();
        LetGoOfPrinter();
        m_Cached.reset();
    }
    void Abort() override
    {
        if (!m_Painter)
            return;
        m_Printer->abort();
        m_Painter->end();
        m_Painter.reset();
        LetGoOfPrinter();
        m_Cached.reset();
    }
    ~TQtPrinter() override
    {
        m_Painter.reset();
        LetGoOfPrinter();
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
                new TCached{f, m_Printer ? QFontMetrics(f, m_Printer) : QFontMetrics(f)});
            m_CachedFor = Font();
        }
        return *m_Cached;
    }

    // A printer given from outside stays its owner's.
    void LetGoOfPrinter()
    {
        m_Printer = nullptr;
        m_Owned.reset();
    }

    std::unique_ptr<TCached> m_Cached;
    TFont m_CachedFor;
    std::optional<TFont> m_PainterFont;

    QString m_PdfPath;
    QPrinter* m_Target = nullptr;
    std::unique_ptr<QPrinter> m_Owned;
    QPrinter* m_Printer = nullptr; // the one printed on now
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

std::unique_ptr<TPrinterCanvas> MakeQtPrinterOn(QPrinter& Target)
{
    return std::make_unique<TQtPrinter>(Target);
}

void SetUpPage(QPrinter& Printer)
{
    // The default printer's page where there is one, A4 otherwise: a preview and a PDF show
    // the pages a print would give, and work without a printer.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull())
        Printer.setPageSize(info.defaultPageSize());
    else
        Printer.setPageSize(QPageSize(QPageSize::A4));
    Printer.setResolution(300);
}
