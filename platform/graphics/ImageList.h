#pragma once

#include <QColor>
#include <QImage>
#include <QObject>

#include <functional>
#include <vector>

class TCanvas;
class TImageList;

// How an image list draws a picture: as it is, or blended with the blend colour to show
// focus (a quarter) or selection (a half).
enum TDrawingStyle : unsigned char
{
    dsFocus,
    dsSelected,
    dsNormal,
    dsTransparent
};

// Follows one image list's changes for its owner; leaves the list on destruction.
class TChangeLink
{
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TImageList* Sender() const { return m_Sender; }
    // Called by the image list when it takes or drops the link.
    void SetSender(TImageList* Sender) { m_Sender = Sender; }
    void Change() const
    {
        if (OnChange)
            OnChange();
    }

    std::function<void()> OnChange;

private:
    TImageList* m_Sender = nullptr;
};

// A set of pictures of one size, shared by the controls that show them; overlay slots mark
// pictures drawn on top of others. Tells its change links when its content changes.
class TImageList final : public QObject
{
    Q_OBJECT
public:
    explicit TImageList(int Width = 16, int Height = 16, QObject* Parent = nullptr);
    ~TImageList() override;

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    int Count() const { return static_cast<int>(m_Images.size()); }
    QSize Size() const { return {m_Width, m_Height}; }

    // Adds a picture, scaled to the list's size; returns its index.
    int Add(const QImage& Image);
    void Replace(int Index, const QImage& Image);
    void Delete(int Index);
    void Clear();
    // Puts picture ImageIndex into overlay slot Overlay (0 to 3); false when either is out of
    // range.
    bool Overlay(int ImageIndex, int Overlay);

    QColor BlendColor() const { return m_BlendColor; }
    void SetBlendColor(const QColor& Color);
    TDrawingStyle DrawingStyle() const { return m_DrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Style);

    // Picture Index as drawn: with the overlay of slot Overlay (-1 for none) on top and
    // blended by the drawing style; a null image when Index names no picture.
    QImage Picture(int Index, int Overlay = -1) const;
    QImage Picture(int Index, int Overlay, TDrawingStyle Style) const;
    // Picture Index drawn in the given style and blend colour, leaving the list's own alone
    // (a painting must not change what it paints from).
    QImage Picture(int Index, int Overlay, TDrawingStyle Style, const QColor& Blend) const;
    // Draws picture Index with its top-left at (X, Y); a disabled picture is drawn grey.
    void Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled = true,
              int Overlay = -1) const;

    void RegisterChanges(TChangeLink& Link);
    void UnRegisterChanges(TChangeLink& Link);

private:
    void Changed();

    int m_Width;
    int m_Height;
    std::vector<QImage> m_Images;
    int m_Overlays[4] = {-1, -1, -1, -1};
    QColor m_BlendColor = Qt::transparent; // transparent: the highlight colour
    TDrawingStyle m_DrawingStyle = dsNormal;
    std::vector<TChangeLink*> m_Links;
};
