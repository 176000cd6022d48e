#include "skin/SkinObjectRecords.h"

#include "skin/SkinIniValues.h"

void TbsDataSkinObject::LoadFromFile(const TMemIniFile& ini)
{
    SkinRect = ReadSkinRect(ini, IDName, "skinrect");
    ActiveSkinRect = ReadSkinRect(ini, IDName, "activeskinrect");
}

void TbsDataSkinObject::SaveToFile(TMemIniFile& ini) const
{
    WriteSkinRect(ini, IDName, "skinrect", SkinRect);
    WriteSkinRect(ini, IDName, "activeskinrect", ActiveSkinRect);
}

namespace {

template<typename T>
std::unique_ptr<TbsDataSkinObject> Make(std::string name)
{
    return std::make_unique<T>(std::move(name));
}

struct Kind {
    std::string_view word;
    std::unique_ptr<TbsDataSkinObject> (*create)(std::string);
};

constexpr Kind s_kinds[] = {
    { "menuitem", Make<TbsDataSkinMenuItem> },
    { "mainmenubaritem", Make<TbsDataSkinMainMenuBarItem> },
    { "stdbutton", Make<TbsDataSkinStdButton> },
    { "mainmenubarbutton", Make<TbsDataSkinMainMenuBarButton> },
    { "button", Make<TbsDataSkinButton> },
    { "caption", Make<TbsDataSkinCaption> },
    { "userobject", Make<TbsDataUserObject> },
};

constexpr std::string_view Popup = "POPUPWINDOW";
constexpr std::string_view Hint = "HINTWINDOW";

} // namespace

std::unique_ptr<TbsDataSkinObject> CreateSkinObjectRecord(std::string_view kind, std::string name)
{
    for (const Kind& k : s_kinds)
        if (k.word == kind)
            return k.create(std::move(name));
    return nullptr;
}

void TbsDataSkinPopupWindow::LoadFromFile(const TMemIniFile& ini)
{
    WindowPictureIndex = ini.ReadInteger(Popup, "windowpictureindex", -1);
    MaskPictureIndex = ini.ReadInteger(Popup, "maskpictureindex", -1);
    LTPoint = ReadSkinPoint(ini, Popup, "lefttoppoint");
    RTPoint = ReadSkinPoint(ini, Popup, "righttoppoint");
    LBPoint = ReadSkinPoint(ini, Popup, "leftbottompoint");
    RBPoint = ReadSkinPoint(ini, Popup, "rightbottompoint");
    ItemsRect = ReadSkinRect(ini, Popup, "itemsrect");
    ScrollMarkerColor = ReadSkinColor(ini, Popup, "scrollmarkercolor", 0);
    ScrollMarkerActiveColor = ReadSkinColor(ini, Popup, "scrollmarkeractivecolor", 0);
}

void TbsDataSkinPopupWindow::SaveToFile(TMemIniFile& ini) const
{
    ini.WriteInteger(Popup, "windowpictureindex", WindowPictureIndex);
    ini.WriteInteger(Popup, "maskpictureindex", MaskPictureIndex);
    WriteSkinPoint(ini, Popup, "lefttoppoint", LTPoint);
    WriteSkinPoint(ini, Popup, "righttoppoint", RTPoint);
    WriteSkinPoint(ini, Popup, "leftbottompoint", LBPoint);
    WriteSkinPoint(ini, Popup, "rightbottompoint", RBPoint);
    WriteSkinRect(ini, Popup, "itemsrect", ItemsRect);
    ini.WriteInteger(Popup, "scrollmarkercolor", static_cast<int>(ScrollMarkerColor));
    ini.WriteInteger(Popup, "scrollmarkeractivecolor", static_cast<int>(ScrollMarkerActiveColor));
}

void TbsDataSkinHintWindow::LoadFromFile(const TMemIniFile& ini)
{
    WindowPictureIndex = ini.ReadInteger(Hint, "windowpictureindex", -1);
    MaskPictureIndex = ini.ReadInteger(Hint, "maskpictureindex", -1);
    LTPoint = ReadSkinPoint(ini, Hint, "lefttoppoint");
    RTPoint = ReadSkinPoint(ini, Hint, "righttoppoint");
    LBPoint = ReadSkinPoint(ini, Hint, "leftbottompoint");
    RBPoint = ReadSkinPoint(ini, Hint, "rightbottompoint");
    ClRect = ReadSkinRect(ini, Hint, "clientrect");
    FontName = ini.ReadString(Hint, "fontname", "Arial");
    FontHeight = ini.ReadInteger(Hint, "fontheight", 14);
    FontStyle = ReadSkinFontStyle(ini, Hint, "fontstyle");
    FontColor = ReadSkinColor(ini, Hint, "fontcolor", 0);
}

void TbsDataSkinHintWindow::SaveToFile(TMemIniFile& ini) const
{
    ini.WriteInteger(Hint, "windowpictureindex", WindowPictureIndex);
    ini.WriteInteger(Hint, "maskpictureindex", MaskPictureIndex);
    WriteSkinPoint(ini, Hint, "lefttoppoint", LTPoint);
    WriteSkinPoint(ini, Hint, "righttoppoint", RTPoint);
    WriteSkinPoint(ini, Hint, "leftbottompoint", LBPoint);
    WriteSkinPoint(ini, Hint, "rightbottompoint", RBPoint);
    WriteSkinRect(ini, Hint, "clientrect", ClRect);
    ini.WriteString(Hint, "fontname", FontName);
    ini.WriteInteger(Hint, "fontheight", FontHeight);
    WriteSkinFontStyle(ini, Hint, "fontstyle", FontStyle);
    ini.WriteInteger(Hint, "fontcolor", static_cast<int>(FontColor));
}
