#include "SkinResources.h"

extern "C" const std::uint8_t velmar_skin_ini_start[];
extern "C" const std::uint8_t velmar_skin_ini_end[];
extern "C" const std::uint8_t velmar_skin_pictures_start[];
extern "C" const std::uint8_t velmar_skin_pictures_end[];

std::span<const std::uint8_t> StoredSkinIniText()
{
    return { velmar_skin_ini_start, static_cast<std::size_t>(velmar_skin_ini_end - velmar_skin_ini_start) };
}

std::span<const std::uint8_t> StoredSkinPictures()
{
    return { velmar_skin_pictures_start,
        static_cast<std::size_t>(velmar_skin_pictures_end - velmar_skin_pictures_start) };
}
