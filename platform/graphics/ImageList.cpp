#include "ImageList.h"

#include "Canvas.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

TChangeLink::~TChangeLink()
{
    if (m_Sender)
        m_Sender->UnRegisterChanges(*this);
}

TImageList::TImageList(int Width, int Height, QObject* Parent)
    : QObject(Parent), m_Width(std::max(1, Width)), m_Height(std::max(1, Height))
{
}

TImageList::~TImageList()
{
    // Links outlive the list they followed; they must not reach back into it.
    for (TChangeLink* link : m_Links)
        link->SetSender(nullptr);
}

namespace {

QImage Fitted(const QImage& Image, QSize Size)
{
    if (Image.isNull()) {
        QImage empty(Size, QImage::Format_ARGB32_Premultiplied);
        empty.fill(Qt::transparent);
        return empty;
    }
    QImage image = Image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return image.size() == Size ? image : image.scaled(Size, Qt::IgnoreAspectRatio);
}

} // namespace

int TImageList::Add(const QImage& Image)
{
    m_Images.push_back(Fitted(Image, Size()));
    Changed();
    return Count() - 1;
}

void TImageList::Replace(int Index, const QImage& Image)
{
    if (Index < 0 || Index >= Count())
        return;
    m_Images[static_cast<std::size_t>(Index)] = Fitted(Image, Size());
    Changed();
}

void TImageList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    m_Images.erase(m_Images.begin() + Index);
    // Overlay slots name pictures by index; those behind the deleted one move down.
    for (int& slot : m_Overlays)
        slot = slot == Index ? -1 : (slot > Index ? slot - 1 : slot);
    Changed();
}

void TImageList::Clear()
{
    if (m_Images.empty())
        return;
    m_Images.clear();
    std::fill(std::begin(m_Overlays), std::end(m_Overlays), -1);
    Changed();
}

bool TImageList::Overlay(int ImageIndex, int Overlay)
{
    if (ImageIndex < 0 || ImageIndex >= Count() || Overlay < 0 || Overlay > 3)
        return false;
    m_Overlays[Overlay] = ImageIndex;
    Changed();
    return true;
}

void TImageList::SetBlendColor(const QColor& Color)
{
    if (Color == m_BlendColor)
        return;
    m_BlendColor = Color;
    Changed();
}

void TImageList::SetDrawingStyle(TDrawingStyle Style)
{
    if (Style == m_DrawingStyle)
        return;
    m_DrawingStyle = Style;
    Changed();
}

QImage TImageList::Picture(int Index, int Overlay) const
{
    return Picture(Index, Overlay, m_DrawingStyle);
}

QImage TImageList::Picture(int Index, int Overlay, TDrawingStyle Style) const
{
    return Picture(Index, Overlay, Style, m_BlendColor);
}

QImage TImageList::Picture(int Index, int Overlay, TDrawingStyle Style, const QColor& Blend) const
{
    if (Index < 0 || Index >= Count())
        return {};
    QImage picture = m_Images[static_cast<std::size_t>(Index)];
    const int overlay = Overlay >= 0 && Overlay <= 3 ? m_Overlays[Overlay] : -1;
    const bool blend = Style == dsFocus || Style == dsSelected;
    if (overlay < 0 && !blend)
        return picture;
    QPainter p(&picture);
    if (overlay >= 0)
        p.drawImage(0, 0, m_Images[static_cast<std::size_t>(overlay)]);
    if (blend) {
        QColor colour = Blend.alpha() == 0 ? QPalette().color(QPalette::Highlight) : Blend;
        colour.setAlphaF(Style == dsSelected ? 0.5f : 0.25f);
        // Only the picture's own pixels take the colour; its transparent ground stays so.
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        p.fillRect(picture.rect(), colour);
    }
    return picture;
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled, int Overlay) const
{
    QImage picture = Picture(Index, Overlay);
    if (picture.isNull())
        return;
    if (!Enabled) {
        // Grey, keeping the picture's own transparency.
        picture = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb source = picture.pixel(x, y);
                const int g = qGray(source);
                picture.setPixel(x, y, qRgba(g, g, g, qAlpha(source)));
            }
    }
    Canvas.DrawImage(X, Y, picture);
}

void TImageList::RegisterChanges(TChangeLink& Link)
{
    if (Link.Sender() == this)
        return;
    if (Link.Sender())
        Link.Sender()->UnRegisterChanges(Link);
    Link.SetSender(this);
    m_Links.push_back(&Link);
}

void TImageList::UnRegisterChanges(TChangeLink& Link)
{
    const auto at = std::find(m_Links.begin(), m_Links.end(), &Link);
    if (at == m_Links.end())
        return;
    m_Links.erase(at);
    Link.SetSender(nullptr);
}

void TImageList::Changed()
{
    // A link's handler may unregister links; walk a copy.
    const std::vector<TChangeLink*> links = m_Links;
    for (TChangeLink* link : links)
        if (std::find(m_Links.begin(), m_Links.end(), link) != m_Links.end())
            link->Change();
}
