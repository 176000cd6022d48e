#include "skin/TbsDataSkinControl.h"

#include "skin/SkinIniValues.h"

void TbsDataSkinControl::LoadFromFile(const TMemIniFile& ini)
{
    PictureIndex = ini.ReadInteger(IDName, "pictureindex", -1);
    MaskPictureIndex = ini.ReadInteger(IDName, "maskpictureindex", -1);
    SkinRect = ReadSkinRect(ini, IDName, "skinrect");
}

void TbsDataSkinControl::SaveToFile(TMemIniFile& ini) const
{
    ini.WriteInteger(IDName, "pictureindex", PictureIndex);
    ini.WriteInteger(IDName, "maskpictureindex", MaskPictureIndex);
    WriteSkinRect(ini, IDName, "skinrect", SkinRect);
}
