#pragma once

#include "skin/StoredSkinLoader.h"

#include <cstdint>
#include <span>

class TbsStoredSkin;
class TbsSkinData;

// The stored skin inside the program: its INI text (Windows-1251 lines) and its "Pictures" block
// (545365 bytes). The bytes live in the program's read-only data for its whole run.
std::span<const std::uint8_t> StoredSkinIniText();
std::span<const std::uint8_t> StoredSkinPictures();

// Fills `stored_skin` from the embedded skin and loads it into `skin_data` (see LoadStoredSkin in
// skin/StoredSkinLoader.h for the errors it may raise).
inline void LoadStoredSkin(TbsStoredSkin& stored_skin, TbsSkinData& skin_data)
{
    LoadStoredSkin(stored_skin, skin_data, StoredSkinIniText(), StoredSkinPictures());
}
