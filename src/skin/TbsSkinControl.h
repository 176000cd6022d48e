#pragma once

#include "framework/TBitmap.h"
#include "framework/TWinControl.h"
#include "skin/SkinPictures.h"
#include "skin/TbsSkinData.h"

#include <optional>
#include <string>

// The base of the skinned windowed controls: a reference to the skin data and the name of the
// control's record, looked up at every paint, and painting through an off-screen bitmap with either
// the unskinned or the skinned image.
class TbsSkinControl : public TWinControl, protected TbsSkinClient {
public:
    explicit TbsSkinControl(TComponent* owner);
    ~TbsSkinControl() override;

    TbsSkinData* SkinData() const { return m_skin_data; }
    // Stores the reference; when the skin is loaded, applies it at once. A control also applies the
    // skin again after each later load of that skin data.
    virtual void SetSkinData(TbsSkinData* skin_data);
    const std::string& SkinDataName() const { return m_skin_data_name; }
    void SetSkinDataName(std::string name) { m_skin_data_name = std::move(name); }
    int SkinIndex() const { return m_skin_index; }

    // SkinIndex := the position of the record named SkinDataName, or -1 without a loaded skin.
    virtual void LookUpSkinRecord();
    virtual void ApplySkin();
    virtual void BeforeChangeSkinData() { m_skin_index = -1; }

    void Paint(TCanvas& canvas) override;

    // The last off-screen image painted (tests and the harness look at it).
    const TBitmap& PaintBuffer() const { return m_buffer; }

protected:
    virtual void PaintUnskinnedImage(TBitmap& bitmap);
    virtual void PaintSkinnedImage(TBitmap& bitmap);
    void Notification(TComponent* component, TOperation operation) override;
    void SkinBeforeChange() override { BeforeChangeSkinData(); }
    void SkinAfterChange() override;

    // Paints the control into `bitmap` (sized to the control) as Paint does, without a canvas.
    void RenderImage(TBitmap& bitmap);

    TbsSkinData* m_skin_data { nullptr };
    std::string m_skin_data_name;
    int m_skin_index { -1 };
    std::optional<TbsRegion> m_region; // the window's shape, when it has one

private:
    TBitmap m_buffer;
};
