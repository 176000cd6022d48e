#pragma once

#include "framework/TGraphic.h"
#include "imaging/EJPEG.h"
#include "imaging/TJPEGData.h"

#include <functional>
#include <memory>

class TBitmap;

enum class TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum class TJPEGPixelFormat { jf24Bit, jf8Bit };
enum class TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum class TProgressStage { psStarting, psRunning, psEnding };

// A JPEG picture: keeps the file's bytes (shared between images assigned from one another) and
// decodes them through libjpeg into a bitmap on first use, caching the result.
class TJPEGImage : public TGraphic {
public:
    // The process-wide settings every new image starts with.
    struct Defaults {
        int CompressionQuality { 90 };
        bool Grayscale { false };
        TJPEGPerformance Performance { TJPEGPerformance::jpBestQuality };
        TJPEGPixelFormat PixelFormat { TJPEGPixelFormat::jf24Bit }; // 8 bits on palette displays
        bool ProgressiveDisplay { false };
        bool ProgressiveEncoding { false };
        TJPEGScale Scale { TJPEGScale::jsFullSize };
        bool Smoothing { true };
    };
    static Defaults s_defaults;

    TJPEGImage();
    ~TJPEGImage() override;

    const char* ClassName() const override { return "TJPEGImage"; }
    std::unique_ptr<TGraphic> Clone() const override;

    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    // Always fails: "Cannot change the size of a JPEG image".
    void SetWidth(int width);
    void SetHeight(int height);

    // Stretch-draws the decoded bitmap (decoding first if needed), opaquely.
    void Draw(TCanvas& canvas, Rect rect) override;
    // Takes every byte from the stream's position to its end; reads the header only.
    void LoadFromStream(TStream& stream) override;
    // Writes the compressed bytes unchanged.
    void SaveToStream(TStream& stream) const override;

    void Assign(const TJPEGImage& source);
    void Assign(const TBitmap& source);
    // Decodes if needed and gives `target` a copy of the decoded bitmap.
    void AssignTo(TBitmap& target);

    // The decoded bitmap (decoding now if needed).
    TBitmap& Bitmap();
    bool Decoded() const { return m_bitmap != nullptr; }
    // The compressed bytes (shared by assigned images), or none.
    const std::shared_ptr<TJPEGData>& Data() const { return m_data; }

    int CompressionQuality;
    bool Grayscale;
    TJPEGPerformance Performance;
    TJPEGPixelFormat PixelFormat;
    bool ProgressiveDisplay;
    bool ProgressiveEncoding;
    TJPEGScale Scale;
    bool Smoothing;

    // Progress of loading and decoding: stage, percent, rows done since the last report, and
    // an abort flag the handler may set. None is installed in the program.
    std::function<void(TProgressStage stage, int percent, int first_row, int row_count, bool& abort)> OnProgress;

private:
    void Decode();
    void Progress(TProgressStage stage, int percent);

    std::shared_ptr<TJPEGData> m_data;
    std::unique_ptr<TBitmap> m_bitmap;
    bool m_palette_modified { false };
    mutable int m_scaled_width { 0 };
    mutable int m_scaled_height { 0 };
    mutable bool m_need_recalc { true };
};
