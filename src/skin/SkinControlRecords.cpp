#include "skin/SkinControlRecords.h"

#include "skin/TbsDataSkinListBox.h"
#include "skin/TbsDataSkinScrollBarControl.h"
#include "skin/TbsDataSkinTreeView.h"

namespace {

template<typename T>
std::unique_ptr<TbsDataSkinControl> Make(std::string name)
{
    return std::make_unique<T>(std::move(name));
}

struct Kind {
    std::string_view word;
    std::unique_ptr<TbsDataSkinControl> (*create)(std::string);
};

constexpr Kind s_kinds[] = {
    { "panel", Make<TbsDataSkinPanelControl> },
    { "expanel", Make<TbsDataSkinExPanelControl> },
    { "menubutton", Make<TbsDataSkinMenuButtonControl> },
    { "button", Make<TbsDataSkinButtonControl> },
    { "checkradio", Make<TbsDataSkinCheckRadioControl> },
    { "gauge", Make<TbsDataSkinGaugeControl> },
    { "splitter", Make<TbsDataSkinSplitterControl> },
    { "trackbar", Make<TbsDataSkinTrackBarControl> },
    { "label", Make<TbsDataSkinLabelControl> },
    { "stdlabel", Make<TbsDataSkinStdLabelControl> },
    { "updown", Make<TbsDataSkinUpDownControl> },
    { "scrollbox", Make<TbsDataSkinScrollBoxControl> },
    { "listview", Make<TbsDataSkinListView> },
    { "grid", Make<TbsDataSkinGridControl> },
    { "tab", Make<TbsDataSkinTabControl> },
    { "mainmenubar", Make<TbsDataSkinMainMenuBar> },
    { "controlbar", Make<TbsDataSkinControlBar> },
    { "memo", Make<TbsDataSkinMemoControl> },
    { "edit", Make<TbsDataSkinEditControl> },
    { "checklistbox", Make<TbsDataSkinCheckListBox> },
    { "listbox", Make<TbsDataSkinListBox> },
    { "combobox", Make<TbsDataSkinComboBox> },
    { "scrollbar", Make<TbsDataSkinScrollBarControl> },
    { "spinedit", Make<TbsDataSkinSpinEditControl> },
    { "treeview", Make<TbsDataSkinTreeView> },
    { "richedit", Make<TbsDataSkinRichEdit> },
};

} // namespace

std::unique_ptr<TbsDataSkinControl> CreateSkinControlRecord(std::string_view kind, std::string name)
{
    for (const Kind& k : s_kinds)
        if (k.word == kind)
            return k.create(std::move(name));
    return nullptr;
}
