#include "skin/TbsDataSkinTreeView.h"

#include "skin/SkinIniValues.h"

void TbsDataSkinTreeView::LoadFromFile(const TMemIniFile& ini)
{
    TbsDataSkinControl::LoadFromFile(ini);
    FontName = ini.ReadString(IDName, "fontname", "Arial");
    FontHeight = ini.ReadInteger(IDName, "fontheight", 14);
    FontStyle = ReadSkinFontStyle(ini, IDName, "fontstyle");
    FontColor = ReadSkinColor(ini, IDName, "fontcolor", 0);
    BGColor = ReadSkinColor(ini, IDName, "bgcolor", 0);
}

void TbsDataSkinTreeView::SaveToFile(TMemIniFile& ini) const
{
    TbsDataSkinControl::SaveToFile(ini);
    ini.WriteString(IDName, "fontname", FontName);
    ini.WriteInteger(IDName, "fontheight", FontHeight);
    WriteSkinFontStyle(ini, IDName, "fontstyle", FontStyle);
    ini.WriteInteger(IDName, "fontcolor", static_cast<int>(FontColor));
    ini.WriteInteger(IDName, "bgcolor", static_cast<int>(BGColor));
}
