#include "imaging/ImageFormats.h"

#include "framework/TPicture.h"
#include "imaging/TGIFImage.h"
#include "imaging/TJPEGImage.h"

namespace {
bool s_registered = false;
}

void RegisterImageFormats()
{
    if (s_registered)
        return;
    s_registered = true;
    TPicture::RegisterFileFormat("GIF", "GIF Image", [] { return std::make_unique<TGIFImage>(); });
    TPicture::RegisterFileFormat("jpeg", "JPEG Image File", [] { return std::make_unique<TJPEGImage>(); });
    TPicture::RegisterFileFormat("jpg", "JPEG Image File", [] { return std::make_unique<TJPEGImage>(); });
}

void UnregisterImageFormats()
{
    if (!s_registered)
        return;
    s_registered = false;
    TPicture::UnregisterGraphicClass("TJPEGImage");
    TPicture::UnregisterGraphicClass("TGIFImage");
}
