#pragma once

#include <cstdint>
#include <span>

class TbsStoredSkin;
class TbsSkinData;

// Fills the stored skin from its INI text (Windows-1251 lines) and its "Pictures" block, then hands
// it to the skin data, which loads it. Errors of the block ("Bitmap image is not valid", "Stream
// read error") and of the INI values ("'%s' is not a valid integer value") are raised; the skin
// data is then left empty, so every skinned control paints its unskinned look.
void LoadStoredSkin(TbsStoredSkin& stored_skin, TbsSkinData& skin_data, std::span<const std::uint8_t> ini_text,
    std::span<const std::uint8_t> pictures);
