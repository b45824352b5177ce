#include "Canvas.h"

#include "Cp1250.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

using namespace Win;

QColor SystemColor(TSystemColor Color, const QPalette& Palette)
{
    switch (Color) {
    case clBtnFace:
        return Palette.color(QPalette::Button);
    case clBtnShadow:
        return Palette.color(QPalette::Dark);
    case clBtnHighlight:
        return Palette.color(QPalette::Light);
    case clBtnText:
        return Palette.color(QPalette::ButtonText);
    case clHighlight:
        return Palette.color(QPalette::Highlight);
    case clHighlightText:
        return Palette.color(QPalette::HighlightedText);
    case clWindow:
        return Palette.color(QPalette::Base);
    case clWindowText:
        return Palette.color(QPalette::Text);
    }
    return {};
}

void TCanvas::FillRect(const TRect& Rect)
{
    if (m_Painter && Rect.Width() > 0 && Rect.Height() > 0)
        m_Painter->fillRect(Rect.ToQRect(), BrushColor);
}

int TCanvas::TextWidth(const std::string& Text) const
{
    return QFontMetrics(Font).horizontalAdvance(Cp1250::ToUnicode(Text));
}

int TCanvas::TextHeight(const std::string&) const
{
    return QFontMetrics(Font).height();
}

int TCanvas::DrawText(const std::string& Text, TRect& Rect, unsigned Flags)
{
    const QFontMetrics metrics(Font);
    QString text = Cp1250::ToUnicode(Text);
    if (!(Flags & DT_NOPREFIX))
        text.remove(QLatin1Char('&'));
    if (Flags & DT_SINGLELINE)
        text.replace(QLatin1Char('\n'), QLatin1Char(' '))
            .replace(QLatin1Char('\r'), QLatin1Char(' '));
    const int height = metrics.height();
    int width = metrics.horizontalAdvance(text);
    // Cut only what the measured width says does not fit, so that a text measured into a
    // rectangle is then drawn into it whole.
    if ((Flags & DT_END_ELLIPSIS) && width > Rect.Width()) {
        text = metrics.elidedText(text, Qt::ElideRight, std::max(0, Rect.Width()));
        width = std::max(0, Rect.Width());
    }
    if (Flags & DT_CALCRECT) {
        Rect.Right = Rect.Left + width;
        Rect.Bottom = Rect.Top + height;
        return height;
    }
    if (!m_Painter)
        return height;
    Qt::Alignment align = Qt::AlignLeft;
    if (Flags & DT_CENTER)
        align = Qt::AlignHCenter;
    else if (Flags & DT_RIGHT)
        align = Qt::AlignRight;
    align |= (Flags & DT_VCENTER) && (Flags & DT_SINGLELINE) ? Qt::AlignVCenter : Qt::AlignTop;
    m_Painter->save();
    m_Painter->setFont(Font);
    m_Painter->setPen(FontColor);
    m_Painter->setClipRect(Rect.ToQRect(), Qt::IntersectClip);
    m_Painter->drawText(Rect.ToQRect(), int(align) | Qt::TextSingleLine, text);
    m_Painter->restore();
    return height;
}

void TCanvas::MoveTo(int X, int Y)
{
    m_PenX = X;
    m_PenY = Y;
}

void TCanvas::LineTo(int X, int Y)
{
    // The platform's lines leave out their end point: step pixel by pixel up to it.
    if (m_Painter) {
        const int dx = X - m_PenX;
        const int dy = Y - m_PenY;
        const int steps = std::max(std::abs(dx), std::abs(dy));
        for (int i = 0; i < steps; ++i) {
            const int x = m_PenX + (dx * i + (dx >= 0 ? steps / 2 : -(steps / 2))) / steps;
            const int y = m_PenY + (dy * i + (dy >= 0 ? steps / 2 : -(steps / 2))) / steps;
            m_Painter->fillRect(QRect(x, y, 1, 1), PenColor);
        }
    }
    MoveTo(X, Y);
}

void TCanvas::SetPixel(int X, int Y, const QColor& Color)
{
    if (m_Painter)
        m_Painter->fillRect(QRect(X, Y, 1, 1), Color);
}

void TCanvas::DrawImage(int X, int Y, const QImage& Image)
{
    if (m_Painter && !Image.isNull())
        m_Painter->drawImage(QPoint(X, Y), Image);
}

void TCanvas::DrawFocusRect(const TRect& Rect)
{
    if (!m_Painter || Rect.Width() <= 0 || Rect.Height() <= 0)
        return;
    m_Painter->save();
    m_Painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor white(Qt::white);
    // Every other pixel along the edge, corners counted once.
    int step = 0;
    auto dot = [&](int X, int Y) {
        if (step++ % 2 == 0)
            m_Painter->fillRect(QRect(X, Y, 1, 1), white);
    };
    for (int x = Rect.Left; x < Rect.Right; ++x)
        dot(x, Rect.Top);
    for (int y = Rect.Top + 1; y < Rect.Bottom; ++y)
        dot(Rect.Right - 1, y);
    if (Rect.Height() > 1)
        for (int x = Rect.Right - 2; x >= Rect.Left; --x)
            dot(x, Rect.Bottom - 1);
    if (Rect.Width() > 1)
        for (int y = Rect.Bottom - 2; y > Rect.Top; --y)
            dot(Rect.Left, y);
    m_Painter->restore();
}

void TCanvas::Save()
{
    if (m_Painter)
        m_Painter->save();
}

void TCanvas::Restore()
{
    if (m_Painter)
        m_Painter->restore();
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap()
{
    End();
}

void TBitmap::SetSize(int Width, int Height)
{
    End();
    m_Image = QImage(std::max(0, Width), std::max(0, Height), QImage::Format_RGB32);
    m_Image.fill(Qt::white);
}

void TBitmap::Begin()
{
    if (m_Painter || m_Image.isNull())
        return;
    m_Painter = new QPainter(&m_Image);
    m_Canvas.Bind(m_Painter);
}

void TBitmap::End()
{
    if (!m_Painter)
        return;
    m_Canvas.Unbind();
    delete m_Painter;
    m_Painter = nullptr;
}
