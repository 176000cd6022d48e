#include "platform/media/Mci.h"
#include "platform/media/MciPictureScaler.h"

void MciFrame::Draw(MciPictureScaler& scaler, PixelBuffer& target, Point offset, Rect clip) const
{
    if (!picture)
        return;
    scaler.Draw(*picture, target, Rect::FromSize(left + offset.x, top + offset.y, width, height), clip);
}

const PixelBuffer& MciFrame::Pixels() const
{
    std::call_once(m_pixels_made, [this] {
        m_pixels.Resize(width, height, 0xFF000000);
        if (picture) {
            MciPictureScaler scaler;
            scaler.Draw(*picture, m_pixels, m_pixels.Bounds(), m_pixels.Bounds());
        }
    });
    return m_pixels;
}
