#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class TGIFImage;

// A part of a GIF file (header, frame, extension, colour table): knows its image and reports its
// warnings to it.
class TGIFItem {
public:
    explicit TGIFItem(TGIFImage* image)
        : m_image(image)
    {
    }
    virtual ~TGIFItem() = default;
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    TGIFImage* Image() const { return m_image; }
    // A tolerable defect: goes to the image's warning handler with severity 1, or nowhere.
    void Warning(const char* message) const;

protected:
    TGIFImage* m_image;
};

// An owning list of items in file order.
template<typename T>
class TGIFList {
public:
    std::size_t Count() const { return m_items.size(); }
    bool Empty() const { return m_items.empty(); }
    T& operator[](std::size_t index) const { return *m_items[index]; }
    T& Add(std::unique_ptr<T> item) { return *m_items.emplace_back(std::move(item)); }
    void Clear() { m_items.clear(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<std::unique_ptr<T>> m_items;
};
