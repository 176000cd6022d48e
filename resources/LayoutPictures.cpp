#include "LayoutPictures.h"


#define VELMAR_PICTURE(name)                                  \
    extern "C" const std::uint8_t velmar_picture_##name##_start[]; \
    extern "C" const std::uint8_t velmar_picture_##name##_end[];
#define VELMAR_PICTURES(X)                                                                                   \
    X(header) X(body) X(ImageMC) X(ImageNext) X(ImagePrev) X(ImagePhoto) X(ImageScheme) X(ImageVideo)      \
    X(ImageArticles) X(ImageBonus) X(Scheme) X(FonImage) X(ImageUFO) X(FonVideoImage) X(ImageBackwardH)    \
    X(ImagePlayH) X(ImagePauseH) X(ImageStopH) X(ImageForwardH) X(ImageStop) X(ImagePlay) X(ImageForward) \
    X(ImagePause) X(ImageBackward)

VELMAR_PICTURES(VELMAR_PICTURE)

namespace {

struct EmbeddedPicture {
    std::string_view name;
    const std::uint8_t* start;
    const std::uint8_t* end;
};

#define VELMAR_PICTURE_ENTRY(name) EmbeddedPicture { #name, velmar_picture_##name##_start, velmar_picture_##name##_end },
const EmbeddedPicture s_pictures[] = { VELMAR_PICTURES(VELMAR_PICTURE_ENTRY) };

#define VELMAR_PICTURE_NAME(name) std::string_view { #name },
constexpr std::string_view s_names[] = { VELMAR_PICTURES(VELMAR_PICTURE_NAME) };

} // namespace

std::span<const std::uint8_t> LayoutPicture(std::string_view name)
{
    for (const EmbeddedPicture& picture : s_pictures) {
        if (picture.name == name)
            return { picture.start, static_cast<std::size_t>(picture.end - picture.start) };
    }
    return {};
}

std::span<const std::string_view> LayoutPictureNames()
{
    return s_names;
}
