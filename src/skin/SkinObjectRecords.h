#pragma once

#include "platform/Color.h"
#include "platform/Geometry.h"

#include <memory>
#include <string>
#include <string_view>

class TMemIniFile;

// A window-frame part of a skin ([SKINOBJECTS]): read and kept, not drawn by this program.
class TbsDataSkinObject {
public:
    explicit TbsDataSkinObject(std::string name)
        : IDName(std::move(name))
    {
    }
    virtual ~TbsDataSkinObject() = default;
    virtual void LoadFromFile(const TMemIniFile& ini);
    virtual void SaveToFile(TMemIniFile& ini) const;
    virtual const char* ClassName() const = 0;

    std::string IDName;
    Rect SkinRect;
    Rect ActiveSkinRect;
};

#define VELMAR_SKIN_OBJECT(Name)                                 \
    class Name : public TbsDataSkinObject {                      \
    public:                                                      \
        using TbsDataSkinObject::TbsDataSkinObject;              \
        const char* ClassName() const override { return #Name; } \
    };

VELMAR_SKIN_OBJECT(TbsDataSkinMenuItem)
VELMAR_SKIN_OBJECT(TbsDataSkinMainMenuBarItem)
VELMAR_SKIN_OBJECT(TbsDataSkinStdButton)
VELMAR_SKIN_OBJECT(TbsDataSkinMainMenuBarButton)
VELMAR_SKIN_OBJECT(TbsDataSkinButton)
VELMAR_SKIN_OBJECT(TbsDataSkinCaption)
VELMAR_SKIN_OBJECT(TbsDataUserObject)

#undef VELMAR_SKIN_OBJECT

// The record for a [SKINOBJECTS] kind word (compared exactly), or null for an unknown kind.
std::unique_ptr<TbsDataSkinObject> CreateSkinObjectRecord(std::string_view kind, std::string name);

// The pop-up window's look ([POPUPWINDOW]); kept, not used here.
struct TbsDataSkinPopupWindow {
    void LoadFromFile(const TMemIniFile& ini);
    void SaveToFile(TMemIniFile& ini) const;

    int WindowPictureIndex { -1 };
    int MaskPictureIndex { -1 };
    Point LTPoint, RTPoint, LBPoint, RBPoint;
    Rect ItemsRect;
    TColor ScrollMarkerColor { 0 };
    TColor ScrollMarkerActiveColor { 0 };
};

// The hint window's look ([HINTWINDOW]); kept, not used here.
struct TbsDataSkinHintWindow {
    void LoadFromFile(const TMemIniFile& ini);
    void SaveToFile(TMemIniFile& ini) const;

    int WindowPictureIndex { -1 };
    int MaskPictureIndex { -1 };
    Point LTPoint, RTPoint, LBPoint, RBPoint;
    Rect ClRect;
    std::string FontName { "Arial" };
    int FontHeight { 14 };
    unsigned FontStyle { 0 };
    TColor FontColor { 0 };
};
