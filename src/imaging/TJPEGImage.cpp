#include "imaging/TJPEGImage.h"

#include "framework/TBitmap.h"
#include "framework/TStream.h"
#include "imaging/JpegDecompressor.h"

#include <new>

TJPEGImage::Defaults TJPEGImage::s_defaults;

namespace {

int Denominator(TJPEGScale scale)
{
    switch (scale) {
    case TJPEGScale::jsHalf:
        return 2;
    case TJPEGScale::jsQuarter:
        return 4;
    case TJPEGScale::jsEighth:
        return 8;
    default:
        return 1;
    }
}

// Rows go straight into the bitmap's own rows.
class BitmapSink : public JpegRowSink {
public:
    explicit BitmapSink(TBitmap& bitmap)
        : m_bitmap(bitmap)
    {
    }
    void Begin(int width, int height, int bits, const std::vector<std::uint32_t>& palette) override
    {
        // A header may declare up to 65500 x 65500: a picture beyond the pixel budget is refused
        // before anything is allocated.
        if (std::int64_t(width) * height > TBitmap::kMaxPixels)
            throw EOutOfMemory("Out of memory");
        try {
            Prepare(width, height, bits, palette);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory("Out of memory");
        }
    }
    std::uint8_t* Row(int y) override { return m_rows[std::size_t(y)]; }

private:
    void Prepare(int width, int height, int bits, const std::vector<std::uint32_t>& palette)
    {
        m_bitmap.SetPixelFormat(bits == 8 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
        if (bits == 8)
            m_bitmap.SetPalette(std::vector<TColor>(palette.begin(), palette.end()));
        m_bitmap.SetSize(width, height);
        m_rows.resize(std::size_t(height));
        for (int y = 0; y < height; ++y)
            m_rows[std::size_t(y)] = m_bitmap.ScanLine(y);
    }

    TBitmap& m_bitmap;
    std::vector<std::uint8_t*> m_rows;
};

} // namespace

TJPEGImage::TJPEGImage()
    : CompressionQuality(s_defaults.CompressionQuality)
    , Grayscale(s_defaults.Grayscale)
    , Performance(s_defaults.Performance)
    , PixelFormat(s_defaults.PixelFormat)
    , ProgressiveDisplay(s_defaults.ProgressiveDisplay)
    , ProgressiveEncoding(s_defaults.ProgressiveEncoding)
    , Scale(s_defaults.Scale)
    , Smoothing(s_defaults.Smoothing)
{
}

TJPEGImage::~TJPEGImage() = default;

std::unique_ptr<TGraphic> TJPEGImage::Clone() const
{
    auto copy = std::make_unique<TJPEGImage>();
    copy->Assign(*this);
    return copy;
}

void TJPEGImage::Assign(const TJPEGImage& source)
{
    if (&source == this)
        return;
    m_data = source.m_data; // shared, not copied
    m_bitmap = source.m_bitmap ? std::make_unique<TBitmap>(*source.m_bitmap) : nullptr;
    CompressionQuality = source.CompressionQuality;
    Grayscale = source.Grayscale;
    Performance = source.Performance;
    PixelFormat = source.PixelFormat;
    ProgressiveDisplay = source.ProgressiveDisplay;
    ProgressiveEncoding = source.ProgressiveEncoding;
    Scale = source.Scale;
    Smoothing = source.Smoothing;
    m_need_recalc = true;
    Changed();
}

void TJPEGImage::Assign(const TBitmap& source)
{
    // The JPEG bytes would be made only when saving, which the program never does.
    m_data = std::make_shared<TJPEGData>();
    m_data->width = source.Width();
    m_data->height = source.Height();
    m_bitmap = std::make_unique<TBitmap>(source);
    m_need_recalc = true;
    Changed();
}

void TJPEGImage::AssignTo(TBitmap& target)
{
    target.Assign(Bitmap());
}

int TJPEGImage::Width() const
{
    if (m_bitmap)
        return m_bitmap->Width();
    if (!m_data)
        return 0;
    if (Scale == TJPEGScale::jsFullSize || m_data->data.empty())
        return m_data->width;
    if (m_need_recalc) {
        JpegDecodeSettings settings;
        settings.scale_denominator = Denominator(Scale);
        settings.grayscale = Grayscale;
        JpegDecompressor::OutputSize(m_data->data.data(), m_data->data.size(), settings, m_scaled_width,
            m_scaled_height);
        m_need_recalc = false;
    }
    return m_scaled_width;
}

int TJPEGImage::Height() const
{
    if (m_bitmap)
        return m_bitmap->Height();
    if (!m_data)
        return 0;
    if (Scale == TJPEGScale::jsFullSize || m_data->data.empty())
        return m_data->height;
    Width(); // fills the cache
    return m_scaled_height;
}

bool TJPEGImage::Empty() const
{
    return !m_data && (!m_bitmap || m_bitmap->Empty());
}

void TJPEGImage::SetWidth(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::LoadFromStream(TStream& stream)
{
    auto data = std::make_shared<TJPEGData>();
    std::int64_t remaining = stream.Size() - stream.Position();
    if (remaining > 0) {
        data->data.resize(std::size_t(remaining));
        data->data.resize(std::size_t(stream.Read(data->data.data(), remaining)));
    }
    if (!data->data.empty()) {
        JpegHeader header = JpegDecompressor::ReadHeader(data->data.data(), data->data.size());
        data->width = header.width;
        data->height = header.height;
        data->grayscale = header.grayscale;
        ProgressiveEncoding = header.progressive;
    }
    // Only now is the old picture dropped: a file whose header is bad leaves it as it was.
    m_data = std::move(data);
    m_bitmap.reset();
    m_need_recalc = true;
    m_palette_modified = true;
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream) const
{
    if (m_data && !m_data->data.empty())
        stream.Write(m_data->data.data(), std::int64_t(m_data->data.size()));
}

void TJPEGImage::Progress(TProgressStage stage, int percent)
{
    if (OnProgress) {
        bool abort = false;
        OnProgress(stage, percent, 0, 0, abort);
    }
}

TBitmap& TJPEGImage::Bitmap()
{
    if (!m_bitmap)
        Decode();
    return *m_bitmap;
}

void TJPEGImage::Decode()
{
    auto bitmap = std::make_unique<TBitmap>();
    if (!m_data) {
        m_bitmap = std::move(bitmap);
        return;
    }
    JpegDecodeSettings settings;
    settings.scale_denominator = Denominator(Scale);
    settings.smoothing = Smoothing;
    settings.grayscale = Grayscale;
    settings.fast = Performance == TJPEGPerformance::jpBestSpeed;
    settings.eight_bit = PixelFormat == TJPEGPixelFormat::jf8Bit;
    Progress(TProgressStage::psStarting, 0);
    BitmapSink sink(*bitmap);
    JpegProgress progress;
    if (OnProgress)
        progress = [this](int percent, int first_row, int row_count) {
            bool abort = false;
            OnProgress(TProgressStage::psRunning, percent, first_row, row_count, abort);
            return !abort;
        };
    bool palette = false;
    try {
        JpegDecompressor::Decode(m_data->data.data(), m_data->data.size(), settings, sink, progress);
        palette = bitmap->PixelFormat() == TPixelFormat::pf8bit;
    } catch (...) {
        Progress(TProgressStage::psEnding, 0);
        throw;
    }
    // An abort from a progress handler keeps the rows decoded so far.
    bitmap->Modified();
    m_bitmap = std::move(bitmap);
    m_palette_modified = m_palette_modified || palette;
    Progress(TProgressStage::psEnding, 100);
    if (palette) {
        m_palette_modified = false;
        Changed();
    }
}

void TJPEGImage::Draw(TCanvas& canvas, Rect rect)
{
    TBitmap& bitmap = Bitmap();
    const PixelBuffer& pixels = bitmap.Pixels();
    canvas.DrawPixels(rect, pixels, pixels.Bounds());
}
