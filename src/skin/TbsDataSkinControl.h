#pragma once

#include "platform/Geometry.h"

#include <string>

class TMemIniFile;

// A control record of a skin: the look of one kind of control, read from the INI section that
// carries its name. The base of every control record class.
class TbsDataSkinControl {
public:
    explicit TbsDataSkinControl(std::string name)
        : IDName(std::move(name))
    {
    }
    virtual ~TbsDataSkinControl() = default;

    // Reads the record's keys from its section; each class reads its base's keys first.
    virtual void LoadFromFile(const TMemIniFile& ini);
    // Writes the same keys back in the same syntaxes.
    virtual void SaveToFile(TMemIniFile& ini) const;
    virtual const char* ClassName() const { return "TbsDataSkinControl"; }

    std::string IDName;        // the record's name and section
    int PictureIndex { -1 };   // into the skin's ControlPictures; -1 none
    int MaskPictureIndex { -1 };
    Rect SkinRect;             // the control's image in the picture, at its natural size
};
