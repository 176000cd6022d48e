#pragma once

#include "framework/TGraphic.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TBitmap;

// Holds one picture of any class. Loading a file chooses the class by the file's extension from the
// process-wide registry of picture formats.
class TPicture : public TObject {
public:
    TPicture() = default;
    ~TPicture() override;

    TGraphic* Graphic() const { return m_graphic.get(); }
    // Holds a copy of `graphic` (nothing when null).
    void SetGraphic(const TGraphic* graphic);
    // Takes `graphic` over.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The picture as a bitmap; a picture of another class is replaced by an empty bitmap.
    TBitmap& Bitmap();
    int Width() const { return m_graphic ? m_graphic->Width() : 0; }
    int Height() const { return m_graphic ? m_graphic->Height() : 0; }
    void Assign(const TPicture& other) { SetGraphic(other.Graphic()); }

    void LoadFromFile(const std::string& disc_path);

    using GraphicFactory = std::function<std::unique_ptr<TGraphic>()>;
    // Adds a format to the registry; `extension` without its dot, matched without regard to case.
    static void RegisterFileFormat(const std::string& extension, const std::string& description,
        GraphicFactory factory);
    // Removes every entry whose graphic class has this name (an image part shutting down).
    static void UnregisterGraphicClass(const std::string& class_name);
    // The registry's entries in order: extension (lower case) and description.
    static std::vector<std::pair<std::string, std::string>> FileFormats();

    TNotifyEvent OnChange;

private:
    void Changed();
    void Watch();

    std::unique_ptr<TGraphic> m_graphic;
};
