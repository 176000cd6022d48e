#include "skin/StoredSkinLoader.h"

#include "framework/TStream.h"
#include "skin/TbsSkinData.h"
#include "skin/TbsStoredSkin.h"

#include <string_view>

void LoadStoredSkin(TbsStoredSkin& stored_skin, TbsSkinData& skin_data, std::span<const std::uint8_t> ini_text,
    std::span<const std::uint8_t> pictures)
{
    stored_skin.SetFileName("skin.ini");
    TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char*>(ini_text.data()), ini_text.size()));
    stored_skin.SetIniStrings(lines);
    TSpanStream stream(pictures);
    stored_skin.ReadPictures(stream);
    skin_data.SetStoredSkin(&stored_skin);
}
