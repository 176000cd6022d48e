#include "framework/TImage.h"

#include "framework/TBitmap.h"

TImage::TImage(TComponent* owner)
    : TGraphicControl(owner)
{
    m_picture.OnChange = [this](TObject*) { PictureChanged(); };
}

void TImage::SetCenter(bool center)
{
    m_center = center;
    Invalidate();
}

void TImage::SetStretch(bool stretch)
{
    m_stretch = stretch;
    Invalidate();
}

void TImage::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    if (TGraphic* graphic = m_picture.Graphic())
        graphic->SetTransparent(transparent);
    Invalidate();
}

void TImage::SetAutoSize(bool auto_size)
{
    m_auto_size = auto_size;
    PictureChanged();
}

void TImage::PictureChanged()
{
    TGraphic* graphic = m_picture.Graphic();
    if (graphic && m_transparent && !graphic->Transparent())
        graphic->SetTransparent(true); // raises OnChange again, which lands here once more
    if (m_auto_size && graphic && !graphic->Empty())
        SetBounds(Left(), Top(), graphic->Width(), graphic->Height());
    ContentChanged();
    Invalidate();
}

Rect TImage::DestRect() const
{
    TGraphic* graphic = m_picture.Graphic();
    int w = graphic ? graphic->Width() : 0, h = graphic ? graphic->Height() : 0;
    if (m_stretch)
        return ClientRect();
    if (m_center)
        return Rect::FromSize((Width() - w) / 2, (Height() - h) / 2, w, h);
    return Rect::FromSize(0, 0, w, h);
}

void TImage::Paint(TCanvas& canvas)
{
    TGraphic* graphic = m_picture.Graphic();
    if (!graphic || graphic->Empty())
        return;
    canvas.StretchDraw(DestRect(), *graphic);
}

bool TImage::Covers(Rect rect) const
{
    auto* bitmap = dynamic_cast<TBitmap*>(m_picture.Graphic());
    if (!bitmap || bitmap->Empty() || bitmap->Transparent())
        return false;
    return DestRect().Intersected(ClientRect()).Intersected(rect) == rect;
}
