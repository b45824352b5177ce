#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRect>

#include <string>

class QPainter;

namespace Win {

// A rectangle as the platform gives it: right and bottom lie just outside.
struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    static TRect Of(const QRect& R)
    {
        return {R.x(), R.y(), R.x() + R.width(), R.y() + R.height()};
    }
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    bool operator==(const TRect&) const = default;
};

// Text drawing flags.
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

} // namespace Win

// The system colours, taken from a widget's palette.
enum TSystemColor
{
    clBtnFace,
    clBtnShadow,
    clBtnHighlight,
    clBtnText,
    clHighlight,
    clHighlightText,
    clWindow,
    clWindowText
};
QColor SystemColor(TSystemColor Color, const QPalette& Palette);

// A drawing surface with the platform's rules (lines leave out their end point, rectangles
// leave out their right and bottom edges), drawing through a painter that is bound to it
// only while one paint lasts. Texts are Windows-1250 bytes.
class TCanvas
{
public:
    void Bind(QPainter* Painter) { m_Painter = Painter; }
    void Unbind() { m_Painter = nullptr; }
    bool Bound() const { return m_Painter != nullptr; }

    QFont Font;
    QColor BrushColor = Qt::white;
    QColor PenColor = Qt::black;
    QColor FontColor = Qt::black;

    void FillRect(const Win::TRect& Rect);
    // Draws the text into the rectangle by the DT_* flags; with DT_CALCRECT draws nothing and
    // sets the rectangle's right and bottom to the text's extent (no wider than the rectangle
    // with DT_END_ELLIPSIS). Returns the text height.
    int DrawText(const std::string& Text, Win::TRect& Rect, unsigned Flags);
    int TextWidth(const std::string& Text) const;
    int TextHeight(const std::string& Text) const;
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void SetPixel(int X, int Y, const QColor& Color);
    void DrawImage(int X, int Y, const QImage& Image);
    // The dotted focus frame inside the rectangle; it inverts what lies below, so drawing it
    // twice takes it away again.
    void DrawFocusRect(const Win::TRect& Rect);
    void Save();
    void Restore();

private:
    QPainter* m_Painter = nullptr;
    int m_PenX = 0;
    int m_PenY = 0;
};

// A picture with a canvas of its own.
class TBitmap
{
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    void SetSize(int Width, int Height);
    int Width() const { return m_Image.width(); }
    int Height() const { return m_Image.height(); }
    const QImage& Image() const { return m_Image; }
    // The canvas draws on the picture; Begin and End bracket the drawing.
    TCanvas& Canvas() { return m_Canvas; }
    void Begin();
    void End();

private:
    QImage m_Image;
    TCanvas m_Canvas;
    QPainter* m_Painter = nullptr;
};
