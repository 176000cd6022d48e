#include "skin/TbsSkinControl.h"

TbsSkinControl::TbsSkinControl(TComponent* owner)
    : TWinControl(owner)
{
    m_buffer.SetPixelFormat(TPixelFormat::pf32bit);
}

TbsSkinControl::~TbsSkinControl()
{
    if (m_skin_data) {
        m_skin_data->RemoveClient(this);
        RemoveFreeNotification(m_skin_data);
    }
}

void TbsSkinControl::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == m_skin_data) {
        m_skin_data = nullptr;
        m_skin_index = -1;
    }
}

void TbsSkinControl::SetSkinData(TbsSkinData* skin_data)
{
    if (m_skin_data && m_skin_data != skin_data) {
        m_skin_data->RemoveClient(this);
        RemoveFreeNotification(m_skin_data);
    }
    m_skin_data = skin_data;
    if (m_skin_data) {
        FreeNotification(m_skin_data);
        m_skin_data->AddClient(this);
        if (!m_skin_data->IsEmpty())
            ApplySkin();
    }
}

void TbsSkinControl::SkinAfterChange()
{
    if (m_skin_data && !m_skin_data->IsEmpty())
        ApplySkin();
}

void TbsSkinControl::LookUpSkinRecord()
{
    if (!m_skin_data || m_skin_data->IsEmpty())
        m_skin_index = -1;
    else
        m_skin_index = m_skin_data->IndexOfControlRecord(m_skin_data_name);
}

void TbsSkinControl::ApplySkin()
{
    LookUpSkinRecord();
    Invalidate();
}

void TbsSkinControl::PaintUnskinnedImage(TBitmap&)
{
}

void TbsSkinControl::PaintSkinnedImage(TBitmap&)
{
}

void TbsSkinControl::RenderImage(TBitmap& bitmap)
{
    LookUpSkinRecord();
    if (bitmap.PixelFormat() != TPixelFormat::pf32bit)
        bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    bitmap.SetSize(Width(), Height());
    if (m_skin_index == -1)
        PaintUnskinnedImage(bitmap);
    else
        PaintSkinnedImage(bitmap);
}

void TbsSkinControl::Paint(TCanvas& canvas)
{
    if (Width() <= 0 || Height() <= 0)
        return;
    RenderImage(m_buffer);
    if (m_buffer.Width() < Width() || m_buffer.Height() < Height()) {
        // An image smaller than the control (a skin not yet fitted to it) leaves no stale pixels.
        canvas.Brush().Color = clBtnFace;
        canvas.Brush().Style = TBrushStyle::bsSolid;
        canvas.FillRect(ClientRect());
    }
    if (m_buffer.Empty())
        return;
    const PixelBuffer& pixels = m_buffer.Pixels();
    if (!m_region) {
        DrawPixelsClipped(canvas, pixels.Bounds(), pixels, pixels.Bounds());
        return;
    }
    for (const Rect& part : m_region->Rects)
        DrawPixelsClipped(canvas, part, pixels, part);
}
