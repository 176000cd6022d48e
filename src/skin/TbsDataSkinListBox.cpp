#include "skin/TbsDataSkinListBox.h"

#include "skin/SkinIniValues.h"

void TbsDataSkinListBox::LoadFromFile(const TMemIniFile& ini)
{
    TbsDataSkinCustomControl::LoadFromFile(ini);
    ItemRect = ReadSkinRect(ini, IDName, "itemrect");
    ActiveItemRect = ReadSkinRect(ini, IDName, "activeitemrect");
    FocusItemRect = ReadSkinRect(ini, IDName, "focusitemrect");
    ItemLeftOffset = ini.ReadInteger(IDName, "itemleftoffset", 0);
    ItemRightOffset = ini.ReadInteger(IDName, "itemrightoffset", 0);
    ItemTextRect = ReadSkinRect(ini, IDName, "itemtextrect");
    FontName = ini.ReadString(IDName, "fontname", "Arial");
    FontHeight = ini.ReadInteger(IDName, "fontheight", 14);
    FontStyle = ReadSkinFontStyle(ini, IDName, "fontstyle");
    FontColor = ReadSkinColor(ini, IDName, "fontcolor", 0);
    ActiveFontColor = ReadSkinColor(ini, IDName, "activefontcolor", 0);
    FocusFontColor = ReadSkinColor(ini, IDName, "focusfontcolor", 0);
    CaptionRect = ReadSkinRect(ini, IDName, "captionrect");
    CaptionFontName = ini.ReadString(IDName, "captionfontname", "Arial");
    CaptionFontHeight = ini.ReadInteger(IDName, "captionfontheight", 14);
    CaptionFontStyle = ReadSkinFontStyle(ini, IDName, "captionfontstyle");
    CaptionFontColor = ReadSkinColor(ini, IDName, "captionfontcolor", 0);
    UpButtonRect = ReadSkinRect(ini, IDName, "upbuttonrect");
    ActiveUpButtonRect = ReadSkinRect(ini, IDName, "activeupbuttonrect");
    DownUpButtonRect = ReadSkinRect(ini, IDName, "downupbuttonrect");
    DownButtonRect = ReadSkinRect(ini, IDName, "downbuttonrect");
    ActiveDownButtonRect = ReadSkinRect(ini, IDName, "activedownbuttonrect");
    DownDownButtonRect = ReadSkinRect(ini, IDName, "downdownbuttonrect");
    CheckButtonRect = ReadSkinRect(ini, IDName, "checkbuttonrect");
    ActiveCheckButtonRect = ReadSkinRect(ini, IDName, "activecheckbuttonrect");
    DownCheckButtonRect = ReadSkinRect(ini, IDName, "downcheckbuttonrect");
    VScrollBarName = ini.ReadString(IDName, "vscrollbarname", "vscrollbar");
    HScrollBarName = ini.ReadString(IDName, "hscrollbarname", "hscrollbar");
    BothScrollBarName = ini.ReadString(IDName, "bothhscrollbarname", "bothhscrollbar");
}

void TbsDataSkinListBox::SaveToFile(TMemIniFile& ini) const
{
    TbsDataSkinCustomControl::SaveToFile(ini);
    WriteSkinRect(ini, IDName, "itemrect", ItemRect);
    WriteSkinRect(ini, IDName, "activeitemrect", ActiveItemRect);
    WriteSkinRect(ini, IDName, "focusitemrect", FocusItemRect);
    ini.WriteInteger(IDName, "itemleftoffset", ItemLeftOffset);
    ini.WriteInteger(IDName, "itemrightoffset", ItemRightOffset);
    WriteSkinRect(ini, IDName, "itemtextrect", ItemTextRect);
    ini.WriteString(IDName, "fontname", FontName);
    ini.WriteInteger(IDName, "fontheight", FontHeight);
    WriteSkinFontStyle(ini, IDName, "fontstyle", FontStyle);
    ini.WriteInteger(IDName, "fontcolor", static_cast<int>(FontColor));
    ini.WriteInteger(IDName, "activefontcolor", static_cast<int>(ActiveFontColor));
    ini.WriteInteger(IDName, "focusfontcolor", static_cast<int>(FocusFontColor));
    WriteSkinRect(ini, IDName, "captionrect", CaptionRect);
    ini.WriteString(IDName, "captionfontname", CaptionFontName);
    ini.WriteInteger(IDName, "captionfontheight", CaptionFontHeight);
    WriteSkinFontStyle(ini, IDName, "captionfontstyle", CaptionFontStyle);
    ini.WriteInteger(IDName, "captionfontcolor", static_cast<int>(CaptionFontColor));
    WriteSkinRect(ini, IDName, "upbuttonrect", UpButtonRect);
    WriteSkinRect(ini, IDName, "activeupbuttonrect", ActiveUpButtonRect);
    WriteSkinRect(ini, IDName, "downupbuttonrect", DownUpButtonRect);
    WriteSkinRect(ini, IDName, "downbuttonrect", DownButtonRect);
    WriteSkinRect(ini, IDName, "activedownbuttonrect", ActiveDownButtonRect);
    WriteSkinRect(ini, IDName, "downdownbuttonrect", DownDownButtonRect);
    WriteSkinRect(ini, IDName, "checkbuttonrect", CheckButtonRect);
    WriteSkinRect(ini, IDName, "activecheckbuttonrect", ActiveCheckButtonRect);
    WriteSkinRect(ini, IDName, "downcheckbuttonrect", DownCheckButtonRect);
    ini.WriteString(IDName, "vscrollbarname", VScrollBarName);
    ini.WriteString(IDName, "hscrollbarname", HScrollBarName);
    ini.WriteString(IDName, "bothhscrollbarname", BothScrollBarName);
}
