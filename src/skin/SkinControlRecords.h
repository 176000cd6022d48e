#pragma once

#include "skin/TbsDataSkinCustomControl.h"

#include <memory>
#include <string>
#include <string_view>

// The control record classes of the kinds this program keeps but does not draw with. They hold the
// keys of their base class; the window parts they describe are not skinned here.
#define VELMAR_SKIN_RECORD(Name, Base)                                  \
    class Name : public Base {                                          \
    public:                                                             \
        using Base::Base;                                               \
        const char* ClassName() const override { return #Name; }        \
    };

VELMAR_SKIN_RECORD(TbsDataSkinPanelControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinExPanelControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinMenuButtonControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinButtonControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinCheckRadioControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinGaugeControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinSplitterControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinTrackBarControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinLabelControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinStdLabelControl, TbsDataSkinControl)
VELMAR_SKIN_RECORD(TbsDataSkinUpDownControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinScrollBoxControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinListView, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinGridControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinTabControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinMainMenuBar, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinControlBar, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinMemoControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinEditControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinCheckListBox, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinComboBox, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinSpinEditControl, TbsDataSkinCustomControl)
VELMAR_SKIN_RECORD(TbsDataSkinRichEdit, TbsDataSkinCustomControl)

#undef VELMAR_SKIN_RECORD

// The record for a [SKINCONTROLS] kind word (compared exactly), with its defaults; null for a kind
// that makes no record ("slider", "bevel", anything unknown).
std::unique_ptr<TbsDataSkinControl> CreateSkinControlRecord(std::string_view kind, std::string name);
