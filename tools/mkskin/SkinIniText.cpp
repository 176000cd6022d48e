#include "SkinIniText.h"

#include "framework/TMemIniFile.h"
#include "skin/SkinControlRecords.h"
#include "skin/SkinIniValues.h"
#include "skin/SkinObjectRecords.h"
#include "skin/TbsDataSkinListBox.h"
#include "skin/TbsDataSkinScrollBarControl.h"
#include "skin/TbsDataSkinTreeView.h"

#include <string>
#include <utility>
#include <vector>

namespace {

struct Entry {
    const char* name;
    const char* kind;
};

// The order of [SKINCONTROLS]; "slider" and "bevel" make no record.
constexpr Entry s_controls[] = {
    { "panel", "panel" }, { "groupbox", "panel" }, { "statusbar", "panel" }, { "statuspanel", "panel" },
    { "header", "panel" }, { "frame", "panel" }, { "expanel", "expanel" }, { "captionpanel", "expanel" },
    { "menubutton", "menubutton" }, { "button", "button" }, { "toolbutton", "button" }, { "speedbutton", "button" },
    { "resizebutton", "button" }, { "bigbutton", "button" }, { "checkbox", "checkradio" },
    { "radiobox", "checkradio" }, { "gauge", "gauge" }, { "hgauge", "gauge" }, { "vgauge", "gauge" },
    { "splitter", "splitter" }, { "hsplitter", "splitter" }, { "trackbar", "trackbar" }, { "htrackbar", "trackbar" },
    { "vtrackbar", "trackbar" }, { "slider", "slider" }, { "label", "label" }, { "stdlabel", "stdlabel" },
    { "updown", "updown" }, { "hupdown", "updown" }, { "scrollbox", "scrollbox" }, { "listview", "listview" },
    { "grid", "grid" }, { "tab", "tab" }, { "mainmenubar", "mainmenubar" }, { "controlbar", "controlbar" },
    { "toolbar", "controlbar" }, { "memo", "memo" }, { "edit", "edit" }, { "dbedit", "edit" },
    { "maskedit", "edit" }, { "checklistbox", "checklistbox" }, { "listbox", "listbox" },
    { "fontlistbox", "listbox" }, { "combobox", "combobox" }, { "colorbox", "combobox" },
    { "datepicker", "combobox" }, { "vscrollbar", "scrollbar" }, { "hscrollbar", "scrollbar" },
    { "bothhscrollbar", "scrollbar" }, { "spinedit", "spinedit" }, { "calcedit", "spinedit" },
    { "treeview", "treeview" }, { "richedit", "richedit" }, { "bevel", "bevel" }, { "hintlabel", "stdlabel" },
    { "toolpanel", "expanel" }, { "smallbutton", "button" }, { "progress", "gauge" }, { "spinbutton", "updown" },
};
static_assert(std::size(s_controls) == 59);

constexpr Entry s_objects[] = {
    { "caption", "caption" }, { "closebutton", "button" }, { "minimizebutton", "button" },
    { "sysmenu", "stdbutton" }, { "menuitem", "menuitem" }, { "menubaritem", "mainmenubaritem" },
    { "menubarbutton", "mainmenubarbutton" }, { "logo", "userobject" },
};

void Scroll(TbsDataSkinScrollBarControl& r, Rect skin, Point lt, Point rt, Point lb, Rect track, Rect up,
    Rect down_up, Rect down, Rect down_down, Rect thumb)
{
    r.PictureIndex = 3;
    r.SkinRect = skin;
    r.LTPoint = lt;
    r.RTPoint = rt;
    r.LBPoint = lb;
    r.TrackArea = track;
    r.UpButtonRect = up;
    r.DownUpButtonRect = down_up;
    r.DownButtonRect = down;
    r.DownDownButtonRect = down_down;
    r.ThumbRect = thumb;
    r.ThumbOffset1 = 5;
    r.ThumbOffset2 = 5;
}

// The look of the records this program does not draw with, by their kind.
void Generic(TbsDataSkinControl& record, const std::string& kind)
{
    auto* custom = dynamic_cast<TbsDataSkinCustomControl*>(&record);
    auto corners = [&](int picture, Rect skin, int border) {
        record.PictureIndex = picture;
        record.SkinRect = skin;
        if (!custom)
            return;
        int w = skin.Width(), h = skin.Height();
        custom->LTPoint = { border + 1, border + 1 };
        custom->RTPoint = { w - border - 1, border + 1 };
        custom->LBPoint = { border + 1, h - border - 1 };
        custom->RBPoint = { w - border - 1, h - border - 1 };
        custom->ClRect = { border, border, w - border, h - border };
    };
    if (kind == "button" || kind == "menubutton") {
        record.PictureIndex = 0;
        record.SkinRect = { 0, 0, 76, 25 };
        if (custom) {
            custom->LTPoint = { 5, 0 };
            custom->RTPoint = { 71, 24 };
            custom->ClRect = { 4, 4, 72, 21 };
        }
    } else if (kind == "checkradio") {
        record.PictureIndex = 1;
        record.SkinRect = { 0, 0, 78, 33 };
    } else if (kind == "trackbar" || kind == "updown") {
        record.PictureIndex = 4;
        record.SkinRect = { 0, 0, 21, 21 };
    } else if (kind == "expanel" || kind == "tab") {
        corners(2, { 84, 0, 167, 68 }, 3);
    } else if (kind == "edit" || kind == "combobox" || kind == "spinedit" || kind == "memo" || kind == "richedit") {
        corners(3, { 10, 115, 100, 137 }, 1);
    } else if (kind == "gauge") {
        corners(3, { 10, 180, 100, 192 }, 1);
    } else if (kind == "label" || kind == "stdlabel" || kind == "splitter") {
        record.PictureIndex = -1;
    } else {
        corners(2, { 0, 0, 83, 68 }, 3);
    }
}

} // namespace

TStringList MakeSkinIniText()
{
    TMemIniFile ini;
    ini.WriteString("VERSION", "skinname", "Velmar wheat");
    ini.WriteString("VERSION", "skinauthor", "Velmar");
    ini.WriteString("VERSION", "authoremail", "");
    ini.WriteString("VERSION", "authorurl", "");
    ini.WriteString("VERSION", "skincomments", "Wheat, straw and earth for the disc start-up program");

    ini.WriteString("PICTURES", "picture", "main.bmp");
    ini.WriteString("PICTURES", "inactivepicture", "");
    ini.WriteString("PICTURES", "mask", "mask.bmp");
    WriteSkinList(ini, "PICTURES", "activepictures",
        { "buttons.bmp", "checks.bmp", "panels.bmp", "controls.bmp", "thumbs.bmp" });

    constexpr const char* form = "FORMINFO";
    WriteSkinPoint(ini, form, "lefttoppoint", { 24, 25 });
    WriteSkinPoint(ini, form, "righttoppoint", { 160, 25 });
    WriteSkinPoint(ini, form, "leftbottompoint", { 10, 128 });
    WriteSkinPoint(ini, form, "rightbottompoint", { 197, 128 });
    WriteSkinPoint(ini, form, "hittestlefttoppoint", { 5, 5 });
    WriteSkinPoint(ini, form, "hittestrighttoppoint", { 202, 5 });
    WriteSkinPoint(ini, form, "hittestleftbottompoint", { 5, 133 });
    WriteSkinPoint(ini, form, "hittestrightbottompoint", { 202, 133 });
    WriteSkinRect(ini, form, "clientrect", { 6, 26, 201, 132 });
    WriteSkinRect(ini, form, "maskrectarea", { 0, 0, 207, 138 });
    WriteSkinRect(ini, form, "mainmenurect", { 0, 0, 0, 0 });
    WriteSkinRect(ini, form, "iconrect", { 6, 4, 22, 20 });
    ini.WriteInteger(form, "bgpictureindex", -1);
    ini.WriteInteger(form, "borderwidth", 5);
    ini.WriteBool(form, "mainmenupopupup", false);
    // Window-stretching and effect settings a skin carries; the loader does not read them.
    ini.WriteInteger(form, "stretcheffect", 0);
    ini.WriteInteger(form, "stretchtype", 1);
    ini.WriteInteger(form, "leftstretch", 1);
    ini.WriteInteger(form, "topstretch", 1);
    ini.WriteInteger(form, "rightstretch", 1);
    ini.WriteInteger(form, "bottomstretch", 1);

    TbsDataSkinPopupWindow popup;
    popup.WindowPictureIndex = 2;
    popup.LTPoint = { 4, 4 };
    popup.RTPoint = { 79, 4 };
    popup.LBPoint = { 4, 64 };
    popup.RBPoint = { 79, 64 };
    popup.ItemsRect = { 3, 3, 80, 65 };
    popup.ScrollMarkerColor = 4691080;       // red 136, green 148, blue 71
    popup.ScrollMarkerActiveColor = 3230330; // earth
    popup.SaveToFile(ini);
    ini.WriteInteger("POPUPWINDOW", "morphing", 0);

    TbsDataSkinHintWindow hint;
    hint.WindowPictureIndex = 2;
    hint.LTPoint = { 4, 4 };
    hint.RTPoint = { 79, 4 };
    hint.LBPoint = { 4, 64 };
    hint.RBPoint = { 79, 64 };
    hint.ClRect = { 3, 3, 80, 65 };
    hint.FontColor = 1714748; // ink
    hint.SaveToFile(ini);
    ini.WriteInteger("HINTWINDOW", "hintanimation", 0);

    ini.WriteInteger("SKINOBJECTS", "count", int(std::size(s_objects)));
    for (std::size_t i = 0; i < std::size(s_objects); ++i)
        ini.WriteString("SKINOBJECTS", std::to_string(i), std::string(s_objects[i].name) + ":" + s_objects[i].kind);
    int left = 163;
    for (const Entry& entry : s_objects) {
        auto record = CreateSkinObjectRecord(entry.kind, entry.name);
        record->SkinRect = { left, 6, left + 17, 21 };
        record->ActiveSkinRect = { left, 6, left + 17, 21 };
        record->SaveToFile(ini);
        ini.WriteString(entry.name, "hint", "");
        ini.WriteInteger(entry.name, "morphing", 0);
        ini.WriteString(entry.name, "morphkind", "mkdefault");
        left = left == 163 ? 183 : 163;
    }

    ini.WriteInteger("SKINCONTROLS", "count", int(std::size(s_controls)));
    for (std::size_t i = 0; i < std::size(s_controls); ++i)
        ini.WriteString("SKINCONTROLS", std::to_string(i), std::string(s_controls[i].name) + ":" + s_controls[i].kind);
    for (const Entry& entry : s_controls) {
        std::string name = entry.name;
        std::string kind = entry.kind;
        auto record = CreateSkinControlRecord(kind, name);
        if (!record) {
            // Kinds this loader does not know still have their sections in the text.
            WriteSkinRect(ini, name, "skinrect", { 0, 0, 21, 21 });
            ini.WriteInteger(name, "pictureindex", 4);
            continue;
        }
        if (name == "listbox") {
            auto& r = dynamic_cast<TbsDataSkinListBox&>(*record);
            r.PictureIndex = 3;
            r.SkinRect = { 115, 154, 182, 218 };
            r.LTPoint = { 2, 2 };
            r.RTPoint = { 57, 4 };
            r.LBPoint = { 2, 62 };
            r.RBPoint = { 57, 60 };
            r.ClRect = { 1, 1, 66, 63 };
            r.ItemRect = r.ActiveItemRect = r.FocusItemRect = { 187, 199, 241, 221 };
            r.ItemLeftOffset = 10;
            r.ItemRightOffset = 5;
            r.ItemTextRect = { 2, 1, 53, 21 };
        } else if (name == "treeview") {
            auto& r = dynamic_cast<TbsDataSkinTreeView&>(*record);
            r.BGColor = 11840160;
        } else if (name == "vscrollbar") {
            Scroll(dynamic_cast<TbsDataSkinScrollBarControl&>(*record), { 283, 6, 301, 59 }, { 8, 18 }, { 0, 0 },
                { 8, 33 }, { 0, 14, 18, 37 }, { 0, 36, 18, 53 }, { 239, 27, 251, 39 }, { 0, 0, 18, 15 },
                { 253, 27, 265, 39 }, { 240, 6, 254, 24 });
        } else if (name == "hscrollbar") {
            Scroll(dynamic_cast<TbsDataSkinScrollBarControl&>(*record), { 230, 66, 283, 84 }, { 17, 0 }, { 38, 17 },
                { 0, 0 }, { 19, 0, 39, 18 }, { 38, 0, 52, 18 }, { 230, 87, 242, 99 }, { 0, 0, 16, 18 },
                { 230, 101, 242, 113 }, { 259, 7, 277, 21 });
        } else if (name == "bothhscrollbar") {
            Scroll(dynamic_cast<TbsDataSkinScrollBarControl&>(*record), { 230, 66, 301, 84 }, { 19, 6 }, { 32, 10 },
                { 0, 0 }, { 15, 4, 39, 14 }, { 39, 3, 51, 15 }, { 230, 87, 242, 99 }, { 2, 3, 14, 15 },
                { 230, 101, 242, 113 }, { 259, 7, 277, 21 });
        } else if (kind == "scrollbar") {
            Generic(*record, "panel");
        } else if (kind == "listbox" || kind == "checklistbox") {
            auto& r = dynamic_cast<TbsDataSkinCustomControl&>(*record);
            r.PictureIndex = 3;
            r.SkinRect = { 115, 154, 182, 218 };
            r.LTPoint = { 2, 2 };
            r.RTPoint = { 57, 4 };
            r.LBPoint = { 2, 62 };
            r.RBPoint = { 57, 60 };
            r.ClRect = { 1, 1, 66, 63 };
            if (auto* list = dynamic_cast<TbsDataSkinListBox*>(&r)) {
                list->ItemRect = list->ActiveItemRect = list->FocusItemRect = { 187, 199, 241, 221 };
                list->ItemLeftOffset = 10;
                list->ItemRightOffset = 5;
                list->ItemTextRect = { 2, 1, 53, 21 };
                list->FontName = "Courier New";
            }
        } else {
            Generic(*record, kind);
        }
        record->SaveToFile(ini);
        // Settings a skin carries for controls that stretch, morph and show hints; unread here.
        ini.WriteInteger(name, "stretcheffect", 0);
        ini.WriteInteger(name, "morphing", 0);
        ini.WriteString(name, "morphkind", "mkdefault");
    }
    TStringList lines;
    ini.GetStrings(lines);
    return lines;
}
