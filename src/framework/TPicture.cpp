#include "framework/TPicture.h"

#include "framework/Exception.h"
#include "framework/TBitmap.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <vector>

namespace {

struct FileFormat {
    std::string extension;
    std::string description;
    TPicture::GraphicFactory factory;
};

// The registry, created on first use with the framework's own formats.
std::vector<FileFormat>& Formats()
{
    static std::vector<FileFormat> formats = {
        { "bmp", "Bitmaps", [] { return std::make_unique<TBitmap>(); } },
    };
    return formats;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

} // namespace

TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description, GraphicFactory factory)
{
    Formats().push_back({ Lower(extension), description, std::move(factory) });
}

void TPicture::SetGraphic(const TGraphic* graphic)
{
    m_graphic = graphic ? graphic->Clone() : nullptr;
    Watch();
    Changed();
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic)
{
    m_graphic = std::move(graphic);
    Watch();
    Changed();
}

TBitmap& TPicture::Bitmap()
{
    auto* bitmap = dynamic_cast<TBitmap*>(m_graphic.get());
    if (!bitmap) {
        auto fresh = std::make_unique<TBitmap>();
        bitmap = fresh.get();
        m_graphic = std::move(fresh);
        Watch();
        Changed();
    }
    return *bitmap;
}

void TPicture::LoadFromFile(const std::string& disc_path)
{
    std::string name = disc_path;
    std::size_t slash = name.find_last_of("\\/");
    std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos || (slash != std::string::npos && dot < slash)
        ? std::string()
        : Lower(name.substr(dot + 1));
    for (const FileFormat& format : Formats()) {
        if (format.extension == extension) {
            std::unique_ptr<TGraphic> graphic = format.factory();
            graphic->LoadFromFile(disc_path);
            SetGraphic(std::move(graphic));
            return;
        }
    }
    throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", extension.c_str()));
}

void TPicture::Watch()
{
    if (m_graphic)
        m_graphic->OnChange = [this](TObject*) { Changed(); };
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}
