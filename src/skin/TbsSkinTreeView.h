#pragma once

#include "framework/TTreeView.h"
#include "skin/TbsSkinData.h"

class TbsSkinScrollBar;

// The framework's tree view with its font and background from a "treeview" skin record (or from
// DefaultFont and DefaultColor without one), no border or scroll bars of its own, and two attached
// skinned scroll bars, placed beside it by the window, which it shows, hides and keeps in step with
// its own scroll state.
class TbsSkinCustomTreeView : public TTreeView, protected TbsSkinClient {
public:
    explicit TbsSkinCustomTreeView(TComponent* owner);
    ~TbsSkinCustomTreeView() override;

    TbsSkinData* SkinData() const { return m_skin_data; }
    void SetSkinData(TbsSkinData* skin_data);
    const std::string& SkinDataName() const { return m_skin_data_name; }
    void SetSkinDataName(std::string name) { m_skin_data_name = std::move(name); }
    int SkinIndex() const { return m_skin_index; }

    TColor DefaultColor() const { return m_default_color; }
    void SetDefaultColor(TColor color);
    TFont& DefaultFont() { return m_default_font; }
    void SetDefaultFont(const TFont& font);

    TbsSkinScrollBar* VScrollBar() const { return m_vscroll_bar; }
    TbsSkinScrollBar* HScrollBar() const { return m_hscroll_bar; }
    void SetVScrollBar(TbsSkinScrollBar* bar);
    void SetHScrollBar(TbsSkinScrollBar* bar);

    // While the window is being built, skin and bars wait; Loaded() (the end of the window's
    // construction) applies both.
    void BeginLoading() { m_loading = true; }
    void Loaded();
    bool Updating() const { return m_updating; }

    void UpdateTreeSkin();
    void SyncScrollBars();

    void SetVisible(bool visible) override;
    void Paint(TCanvas& canvas) override;
    void KeyDown(int& key, TShiftState shift) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void Change(TTreeNode* node) override;
    void BoundsChanged() override;
    void Notification(TComponent* component, TOperation operation) override;
    void SkinBeforeChange() override { m_skin_index = -1; }
    void SkinAfterChange() override;

private:
    void AttachBar(TbsSkinScrollBar*& slot, TbsSkinScrollBar* bar, bool vertical);

    TbsSkinData* m_skin_data { nullptr };
    std::string m_skin_data_name { "treeview" };
    TColor m_default_color { clWindow };
    TFont m_default_font;
    TbsSkinScrollBar* m_vscroll_bar { nullptr };
    TbsSkinScrollBar* m_hscroll_bar { nullptr };
    int m_skin_index { -1 };
    bool m_updating { false };
    bool m_loading { false };
};

// The tree view the window places: the custom tree with its properties published.
class TbsSkinTreeView : public TbsSkinCustomTreeView {
public:
    using TbsSkinCustomTreeView::TbsSkinCustomTreeView;
};
