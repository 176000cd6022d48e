#pragma once

#include "framework/TObject.h"
#include "platform/Geometry.h"

#include <memory>
#include <string>

class TCanvas;
class TStream;

// The base of every picture the framework can hold and draw: bitmaps, JPEG and GIF images.
class TGraphic : public TObject {
public:
    // The class name as the program knows it ("TBitmap", "TJPEGImage", ...).
    virtual const char* ClassName() const = 0;
    virtual std::unique_ptr<TGraphic> Clone() const = 0;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    virtual bool Transparent() const { return m_transparent; }
    virtual void SetTransparent(bool transparent);

    // Draws the picture stretched into `rect` (canvas coordinates).
    virtual void Draw(TCanvas& canvas, Rect rect) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) const = 0;
    // Opens the disc path and loads it; a missing file raises EFOpenError.
    virtual void LoadFromFile(const std::string& disc_path);

    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    bool m_transparent { false };
};
