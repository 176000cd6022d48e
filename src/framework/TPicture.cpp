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

// Metafiles and icons have registry entries, but the program never shows one: they refuse to load.
class TUnsupportedGraphic : public TGraphic {
public:
    TUnsupportedGraphic(const char* class_name, const char* description)
        : m_class_name(class_name)
        , m_description(description)
    {
    }
    const char* ClassName() const override { return m_class_name; }
    std::unique_ptr<TGraphic> Clone() const override
    {
        return std::make_unique<TUnsupportedGraphic>(m_class_name, m_description);
    }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    void Draw(TCanvas&, Rect) override { }
    void LoadFromStream(TStream&) override
    {
        throw EInvalidGraphic(Format("%s are not supported by this program", m_description));
    }
    void SaveToStream(TStream&) const override { }

private:
    const char* m_class_name;
    const char* m_description;
};

// The registry, created on first use with the framework's own formats. Searched from the last
// entry to the first, so a later registration of an extension wins.
std::vector<FileFormat>& Formats()
{
    static std::vector<FileFormat> formats = {
        { "wmf", "Metafiles", [] { return std::make_unique<TUnsupportedGraphic>("TMetafile", "Metafiles"); } },
        { "emf", "Enhanced Metafiles",
            [] { return std::make_unique<TUnsupportedGraphic>("TMetafile", "Enhanced Metafiles"); } },
        { "ico", "Icons", [] { return std::make_unique<TUnsupportedGraphic>("TIcon", "Icons"); } },
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

void TPicture::UnregisterGraphicClass(const std::string& class_name)
{
    std::vector<FileFormat>& formats = Formats();
    std::erase_if(formats, [&](const FileFormat& format) { return format.factory()->ClassName() == class_name; });
}

std::vector<std::pair<std::string, std::string>> TPicture::FileFormats()
{
    std::vector<std::pair<std::string, std::string>> list;
    for (const FileFormat& format : Formats())
        list.emplace_back(format.extension, format.description);
    return list;
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
    const std::vector<FileFormat>& formats = Formats();
    for (auto it = formats.rbegin(); it != formats.rend(); ++it) {
        const FileFormat& format = *it;
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
