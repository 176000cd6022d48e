#include "skin/TbsDataSkinScrollBarControl.h"

#include "skin/SkinIniValues.h"

void TbsDataSkinScrollBarControl::LoadFromFile(const TMemIniFile& ini)
{
    TbsDataSkinCustomControl::LoadFromFile(ini);
    TrackArea = ReadSkinRect(ini, IDName, "trackarea");
    UpButtonRect = ReadSkinRect(ini, IDName, "upbuttonrect");
    ActiveUpButtonRect = ReadSkinRect(ini, IDName, "activeupbuttonrect");
    DownUpButtonRect = ReadSkinRect(ini, IDName, "downupbuttonrect");
    DownButtonRect = ReadSkinRect(ini, IDName, "downbuttonrect");
    ActiveDownButtonRect = ReadSkinRect(ini, IDName, "activedownbuttonrect");
    DownDownButtonRect = ReadSkinRect(ini, IDName, "downdownbuttonrect");
    ThumbRect = ReadSkinRect(ini, IDName, "thumbrect");
    ActiveThumbRect = ReadSkinRect(ini, IDName, "activethumbrect");
    DownThumbRect = ReadSkinRect(ini, IDName, "downthumbrect");
    ThumbOffset1 = ini.ReadInteger(IDName, "thumboffset1", 0);
    ThumbOffset2 = ini.ReadInteger(IDName, "thumboffset2", 0);
    GlyphRect = ReadSkinRect(ini, IDName, "velmarrect");
    ActiveGlyphRect = ReadSkinRect(ini, IDName, "activevelmarrect");
    DownGlyphRect = ReadSkinRect(ini, IDName, "downvelmarrect");
}

void TbsDataSkinScrollBarControl::SaveToFile(TMemIniFile& ini) const
{
    TbsDataSkinCustomControl::SaveToFile(ini);
    WriteSkinRect(ini, IDName, "trackarea", TrackArea);
    WriteSkinRect(ini, IDName, "upbuttonrect", UpButtonRect);
    WriteSkinRect(ini, IDName, "activeupbuttonrect", ActiveUpButtonRect);
    WriteSkinRect(ini, IDName, "downupbuttonrect", DownUpButtonRect);
    WriteSkinRect(ini, IDName, "downbuttonrect", DownButtonRect);
    WriteSkinRect(ini, IDName, "activedownbuttonrect", ActiveDownButtonRect);
    WriteSkinRect(ini, IDName, "downdownbuttonrect", DownDownButtonRect);
    WriteSkinRect(ini, IDName, "thumbrect", ThumbRect);
    WriteSkinRect(ini, IDName, "activethumbrect", ActiveThumbRect);
    WriteSkinRect(ini, IDName, "downthumbrect", DownThumbRect);
    ini.WriteInteger(IDName, "thumboffset1", ThumbOffset1);
    ini.WriteInteger(IDName, "thumboffset2", ThumbOffset2);
    WriteSkinRect(ini, IDName, "velmarrect", GlyphRect);
    WriteSkinRect(ini, IDName, "activevelmarrect", ActiveGlyphRect);
    WriteSkinRect(ini, IDName, "downvelmarrect", DownGlyphRect);
}
