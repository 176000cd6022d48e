#include "skin/TbsSkinData.h"

#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "framework/TMemIniFile.h"
#include "skin/SkinControlRecords.h"
#include "skin/SkinIniValues.h"
#include "skin/TbsStoredSkin.h"

#include <algorithm>

namespace {

// "name:kind" into its two halves; without a colon both are empty.
std::pair<std::string, std::string> SplitEntry(const std::string& entry)
{
    std::size_t colon = entry.find(':');
    if (colon == std::string::npos)
        return {};
    return { entry.substr(0, colon), entry.substr(colon + 1) };
}

} // namespace

TbsSkinData::TbsSkinData(TComponent* owner)
    : TComponent(owner)
{
}

TbsSkinData::~TbsSkinData()
{
    if (m_stored_skin)
        RemoveFreeNotification(m_stored_skin);
}

void TbsSkinData::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == m_stored_skin)
        m_stored_skin = nullptr; // the loaded skin stays
}

void TbsSkinData::SetStoredSkin(TbsStoredSkin* stored_skin)
{
    if (m_stored_skin && m_stored_skin != stored_skin)
        RemoveFreeNotification(m_stored_skin);
    m_stored_skin = stored_skin;
    if (m_stored_skin) {
        FreeNotification(m_stored_skin);
        ApplyStoredSkin(m_stored_skin);
    }
}

void TbsSkinData::AddClient(TbsSkinClient* client)
{
    if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end())
        m_clients.push_back(client);
}

void TbsSkinData::RemoveClient(TbsSkinClient* client)
{
    std::erase(m_clients, client);
}

void TbsSkinData::SendSkinMessage(int message)
{
    auto wparam = reinterpret_cast<long>(this);
    auto* owner_form = dynamic_cast<TWinControl*>(Owner());
    if (owner_form)
        owner_form->HandleMessage(message, wparam, 1000);
    if (!Application)
        return;
    for (TComponent* component : std::vector<TComponent*>(Application->Components()))
        if (auto* form = dynamic_cast<TForm*>(component); form && form != owner_form)
            form->HandleMessage(message, wparam, 1000);
}

int TbsSkinData::IndexOfControlRecord(std::string_view name) const
{
    auto found = m_record_index.find(std::string(name));
    return found == m_record_index.end() ? -1 : found->second;
}

TbsDataSkinControl* TbsSkinData::ControlRecord(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_control_records.size()))
        return nullptr;
    return m_control_records[std::size_t(index)].get();
}

TBitmap* TbsSkinData::ControlPicture(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_control_pictures.size()))
        return nullptr;
    return m_control_pictures[std::size_t(index)].get();
}

void TbsSkinData::ClearSkin()
{
    m_control_records.clear();
    m_record_index.clear();
    m_skin_objects.clear();
    m_control_pictures.clear();
    PopupWindow.WindowPictureIndex = -1;
    PopupWindow.MaskPictureIndex = -1;
    HintWindow.WindowPictureIndex = -1;
    HintWindow.MaskPictureIndex = -1;
    m_main_picture = TBitmap();
    m_inactive_picture = TBitmap();
    m_mask_picture = TBitmap();
    m_empty = true;
}

void TbsSkinData::LoadFormInfo(const TMemIniFile& ini)
{
    constexpr std::string_view s = "FORMINFO";
    LTPoint = ReadSkinPoint(ini, s, "lefttoppoint");
    RTPoint = ReadSkinPoint(ini, s, "righttoppoint");
    LBPoint = ReadSkinPoint(ini, s, "leftbottompoint");
    RBPoint = ReadSkinPoint(ini, s, "rightbottompoint");
    HitTestLTPoint = ReadSkinPoint(ini, s, "hittestlefttoppoint");
    HitTestRTPoint = ReadSkinPoint(ini, s, "hittestrighttoppoint");
    HitTestLBPoint = ReadSkinPoint(ini, s, "hittestleftbottompoint");
    HitTestRBPoint = ReadSkinPoint(ini, s, "hittestrightbottompoint");
    ClRect = ReadSkinRect(ini, s, "clientrect");
    MaskRectArea = ReadSkinRect(ini, s, "maskrectarea");
    MainMenuRect = ReadSkinRect(ini, s, "mainmenurect");
    IconRect = ReadSkinRect(ini, s, "iconrect");
    BGPictureIndex = ini.ReadInteger(s, "bgpictureindex", -1);
    BorderWidth = ini.ReadInteger(s, "borderwidth", 0);
    MainMenuPopupUp = ini.ReadBool(s, "mainmenupopupup", false);
}

void TbsSkinData::ApplyStoredSkin(TbsStoredSkin* stored_skin)
{
    m_empty = true;
    SendSkinMessage(SkinMsgBeforeChange);
    for (TbsSkinClient* client : std::vector<TbsSkinClient*>(m_clients))
        client->SkinBeforeChange();
    ClearSkin();

    auto finish = [this] {
        SendSkinMessage(SkinMsgChange);
        SendSkinMessage(SkinMsgAfterChange);
        for (TbsSkinClient* client : std::vector<TbsSkinClient*>(m_clients))
            client->SkinAfterChange();
    };
    if (!stored_skin) {
        finish();
        return;
    }
    TMemIniFile ini(stored_skin->IniStrings());
    for (const char* section : { "VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS" }) {
        if (!ini.SectionExists(section)) {
            finish();
            return;
        }
    }
    SkinName = ini.ReadString("VERSION", "skinname", "");
    SkinAuthor = ini.ReadString("VERSION", "skinauthor", "");
    AuthorEmail = ini.ReadString("VERSION", "authoremail", "");
    AuthorURL = ini.ReadString("VERSION", "authorurl", "");
    SkinComments = ini.ReadString("VERSION", "skincomments", "");

    m_main_picture = stored_skin->MainPicture();
    m_inactive_picture = stored_skin->InactivePicture();
    m_mask_picture = stored_skin->MaskPicture();
    for (const auto& picture : stored_skin->ControlPictures())
        m_control_pictures.push_back(std::make_unique<TBitmap>(*picture));

    LoadFormInfo(ini);
    PopupWindow.LoadFromFile(ini);
    HintWindow.LoadFromFile(ini);

    for (const std::string& entry : ReadSkinEntries(ini, "SKINOBJECTS")) {
        auto [name, kind] = SplitEntry(entry);
        if (auto record = CreateSkinObjectRecord(kind, name)) {
            m_skin_objects.push_back(std::move(record));
            m_skin_objects.back()->LoadFromFile(ini);
        }
    }
    for (const std::string& entry : ReadSkinEntries(ini, "SKINCONTROLS")) {
        auto [name, kind] = SplitEntry(entry);
        if (auto record = CreateSkinControlRecord(kind, name)) {
            m_record_index.emplace(record->IDName, static_cast<int>(m_control_records.size()));
            m_control_records.push_back(std::move(record));
            m_control_records.back()->LoadFromFile(ini);
        }
    }
    m_empty = false;
    finish();
}
