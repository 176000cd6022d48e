#include "skin/TbsDataSkinCustomControl.h"

#include "skin/SkinIniValues.h"

void TbsDataSkinCustomControl::LoadFromFile(const TMemIniFile& ini)
{
    TbsDataSkinControl::LoadFromFile(ini);
    LTPoint = ReadSkinPoint(ini, IDName, "lefttoppoint");
    RTPoint = ReadSkinPoint(ini, IDName, "righttoppoint");
    LBPoint = ReadSkinPoint(ini, IDName, "leftbottompoint");
    RBPoint = ReadSkinPoint(ini, IDName, "rightbottompoint");
    ClRect = ReadSkinRect(ini, IDName, "clientrect");
}

void TbsDataSkinCustomControl::SaveToFile(TMemIniFile& ini) const
{
    TbsDataSkinControl::SaveToFile(ini);
    WriteSkinPoint(ini, IDName, "lefttoppoint", LTPoint);
    WriteSkinPoint(ini, IDName, "righttoppoint", RTPoint);
    WriteSkinPoint(ini, IDName, "leftbottompoint", LBPoint);
    WriteSkinPoint(ini, IDName, "rightbottompoint", RBPoint);
    WriteSkinRect(ini, IDName, "clientrect", ClRect);
}
