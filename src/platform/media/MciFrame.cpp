#include "platform/media/Mci.h"
#include "platform/media/MciPictureScaler.h"

extern "C" {
#include <libavutil/frame.h>
}

void MciFrame::Draw(MciPictureScaler& scaler, PixelBuffer& target, Point offset, Rect clip) const
{
    DrawAt(scaler, target, Rect::FromSize(left + offset.x, top + offset.y, width, height), clip);
}

void MciFrame::DrawAt(MciPictureScaler& scaler, PixelBuffer& target, Rect area, Rect clip) const
{
    if (!picture)
        return;
    // The prepared picture serves only a destination of the size it was made for.
    bool fits = prepared && prepared->width == area.Width() && prepared->height == area.Height();
    scaler.Draw(fits ? *prepared : *picture, target, area, clip);
}

const PixelBuffer& MciFrame::Pixels() const
{
    std::call_once(m_pixels_made, [this] {
        m_pixels.Resize(width, height, 0xFF000000);
        MciPictureScaler scaler;
        Draw(scaler, m_pixels, Point { -left, -top }, m_pixels.Bounds());
    });
    return m_pixels;
}
