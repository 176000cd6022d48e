#pragma once

#include "framework/TBitmap.h"
#include "framework/TComponent.h"
#include "skin/SkinObjectRecords.h"
#include "skin/TbsDataSkinControl.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TbsStoredSkin;
class TMemIniFile;

// The skin messages sent to the forms around every load: wParam is the skin data, lParam 1000.
constexpr int SkinMsgBeforeChange = 1225;
constexpr int SkinMsgChange = 1226;
constexpr int SkinMsgAfterChange = 1227;

// Told by the skin data around each load: the skinned controls that refer to it.
class TbsSkinClient {
public:
    virtual void SkinBeforeChange() = 0; // before the old records and pictures are freed
    virtual void SkinAfterChange() = 0;  // after a load, whether it succeeded or not

protected:
    ~TbsSkinClient() = default;
};

// A loaded skin: the records of a stored skin's INI text, one per skinned control kind, and copies
// of its pictures. Skinned controls look their record up by name on every paint.
class TbsSkinData : public TComponent {
public:
    explicit TbsSkinData(TComponent* owner = nullptr);
    ~TbsSkinData() override;

    TbsStoredSkin* StoredSkin() const { return m_stored_skin; }
    // Stores the reference and, when it is not null, loads that skin at once.
    void SetStoredSkin(TbsStoredSkin* stored_skin);
    // Loads the skin: messages 1225, then everything cleared, the INI text read, 1226 and 1227.
    // A missing required section leaves the skin empty; a malformed point or rectangle raises
    // EConvertError and leaves it part-loaded and empty-flagged.
    void ApplyStoredSkin(TbsStoredSkin* stored_skin);
    void ClearSkin();

    bool IsEmpty() const { return m_empty; }
    // Position of the first control record named exactly `name` (case matters), or -1. Controls ask
    // on every paint, so the answer comes from an index of the names, not a scan of the records.
    int IndexOfControlRecord(std::string_view name) const;
    const std::vector<std::unique_ptr<TbsDataSkinControl>>& ControlRecords() const { return m_control_records; }
    const std::vector<std::unique_ptr<TbsDataSkinObject>>& SkinObjects() const { return m_skin_objects; }
    const std::vector<std::unique_ptr<TBitmap>>& ControlPictures() const { return m_control_pictures; }
    // The record or picture at `index`, or null when the index is out of range.
    TbsDataSkinControl* ControlRecord(int index) const;
    TBitmap* ControlPicture(int index) const;

    const TBitmap& MainPicture() const { return m_main_picture; }
    const TBitmap& InactivePicture() const { return m_inactive_picture; }
    const TBitmap& MaskPicture() const { return m_mask_picture; }

    // [VERSION]
    std::string SkinName, SkinAuthor, AuthorEmail, AuthorURL, SkinComments;
    // [FORMINFO]: window-frame values, kept for window skinning, which this program does not do.
    Point LTPoint, RTPoint, LBPoint, RBPoint;
    Point HitTestLTPoint, HitTestRTPoint, HitTestLBPoint, HitTestRBPoint;
    Rect ClRect, MaskRectArea, MainMenuRect, IconRect;
    int BGPictureIndex { -1 };
    int BorderWidth { 0 };
    bool MainMenuPopupUp { false };
    TbsDataSkinPopupWindow PopupWindow;
    TbsDataSkinHintWindow HintWindow;

    void AddClient(TbsSkinClient* client);
    void RemoveClient(TbsSkinClient* client);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void SendSkinMessage(int message);
    void LoadFormInfo(const TMemIniFile& ini);

    TbsStoredSkin* m_stored_skin { nullptr };
    bool m_empty { true };
    TBitmap m_main_picture;
    TBitmap m_inactive_picture;
    TBitmap m_mask_picture;
    std::vector<std::unique_ptr<TBitmap>> m_control_pictures;
    std::vector<std::unique_ptr<TbsDataSkinObject>> m_skin_objects;
    std::vector<std::unique_ptr<TbsDataSkinControl>> m_control_records;
    std::unordered_map<std::string, int> m_record_index; // name -> first record with it
    std::vector<TbsSkinClient*> m_clients;
};
