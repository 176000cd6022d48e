// The window's own look on top of the skin: list captions drawn bold and a pixel taller when
// selected, trees on the window's grey with the selected node in bold black and no highlight bar,
// and the hand cursor with the entry's caption as a hint while the mouse is over a list.
#include "shell/TVelmarForm.h"

#include "framework/TScreen.h"

namespace {

// The grey of the trees and of the video display: red 160, green 170, blue 180.
constexpr TColor TreeGrey = 11840160;

struct CaptionLook {
    int selected_height; // cell height in pixels
    int other_height;
    bool transparent_background;
};

constexpr CaptionLook SchemeLook { 16, 15, true };
constexpr CaptionLook ListLook { 15, 14, false };

// The list has filled the entry's background and chosen the skin's font and colour; only style
// and height change here. The caption goes at the text rectangle's corner without clipping.
void DrawCaption(TCanvas& cnvs, TbsSkinListBox* box, int index, Rect text_rect, TOwnerDrawState state,
    const CaptionLook& look)
{
    bool selected = state & odSelected;
    cnvs.Font().SetStyle(selected ? TFontStyles(fsBold) : TFontStyles(0));
    cnvs.Font().SetHeight(selected ? look.selected_height : look.other_height);
    if (look.transparent_background)
        cnvs.SetBkMode(TRANSPARENT);
    if (index >= 0 && index < box->Items().Count())
        cnvs.TextOut(text_rect.left, text_rect.top, box->Items()[index]);
}

// Over a list the cursor becomes the hand everywhere and the entry under the mouse becomes the
// list's hint; below the last entry the hint stays what it was.
void HoverList(TbsSkinListBox* box, int x, int y)
{
    Screen.SetCursor(crHandPoint);
    int index = box->ItemAtPos({ x, y }, true);
    if (index > -1)
        box->SetHint(box->Items()[index]);
}

void FillTree(TTreeView* tree, const Rect& area, bool& default_draw)
{
    TCanvas& canvas = tree->Canvas();
    canvas.Brush().Color = TreeGrey;
    canvas.Brush().Style = TBrushStyle::bsSolid;
    canvas.FillRect(area);
    default_draw = true;
}

void SetNodeFont(TTreeView* tree, TCustomDrawState state, bool& default_draw)
{
    TFont& font = tree->Canvas().Font();
    bool selected = state & cdsSelected;
    font.SetStyle(selected ? TFontStyles(fsBold) : TFontStyles(0));
    font.SetSize(selected ? 10 : 9);
    font.SetColor(0);
    default_draw = true;
}

// After the selected node has been painted, its highlight bar is painted over with the grey and
// its caption written again in the node's bold font.
void RepaintSelectedNode(TTreeView* tree, TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage)
{
    if (stage == cdPrePaint || !(state & cdsSelected) || !node)
        return;
    TCanvas& canvas = tree->Canvas();
    canvas.Brush().Color = TreeGrey;
    Rect rect = node->DisplayRect(true);
    canvas.FrameRect(rect); // drawn in the fill's own grey, so it does not show
    canvas.FillRect(rect);
    canvas.TextOut(rect.left, rect.top, node->Text());
}

} // namespace

void TVelmarForm::SchemeListBoxDrawItem(TCanvas& Cnvs, int Index, int, int, Rect TextRect, TOwnerDrawState State)
{
    DrawCaption(Cnvs, SchemeListBox, Index, TextRect, State, SchemeLook);
}

void TVelmarForm::VideoListBoxDrawItem(TCanvas& Cnvs, int Index, int, int, Rect TextRect, TOwnerDrawState State)
{
    DrawCaption(Cnvs, VideoListBox, Index, TextRect, State, ListLook);
}

void TVelmarForm::ArticlesListBoxDrawItem(TCanvas& Cnvs, int Index, int, int, Rect TextRect, TOwnerDrawState State)
{
    DrawCaption(Cnvs, ArticlesListBox, Index, TextRect, State, ListLook);
}

void TVelmarForm::SchemeListBoxListBoxMouseMove(TObject*, TShiftState, int x, int y)
{
    HoverList(SchemeListBox, x, y);
}

void TVelmarForm::VideoListBoxListBoxMouseMove(TObject*, TShiftState, int x, int y)
{
    HoverList(VideoListBox, x, y);
}

void TVelmarForm::ArticlesListBoxListBoxMouseMove(TObject*, TShiftState, int x, int y)
{
    HoverList(ArticlesListBox, x, y);
}

void TVelmarForm::FotoTreeViewCustomDraw(TTreeView* sender, const Rect& ARect, bool& DefaultDraw)
{
    FillTree(sender, ARect, DefaultDraw);
}

void TVelmarForm::NaskaTreeViewCustomDraw(TTreeView* sender, const Rect& ARect, bool& DefaultDraw)
{
    FillTree(sender, ARect, DefaultDraw);
}

void TVelmarForm::FotoTreeViewCustomDrawItem(TTreeView* sender, TTreeNode*, TCustomDrawState State, bool& DefaultDraw)
{
    SetNodeFont(sender, State, DefaultDraw);
}

void TVelmarForm::NaskaTreeViewCustomDrawItem(TTreeView* sender, TTreeNode*, TCustomDrawState State, bool& DefaultDraw)
{
    SetNodeFont(sender, State, DefaultDraw);
}

void TVelmarForm::FotoTreeViewAdvancedCustomDrawItem(TTreeView* sender, TTreeNode* Node, TCustomDrawState State,
    TCustomDrawStage Stage, bool&, bool& DefaultDraw)
{
    RepaintSelectedNode(sender, Node, State, Stage);
    DefaultDraw = true;
}

void TVelmarForm::NaskaTreeViewAdvancedCustomDrawItem(TTreeView* sender, TTreeNode* Node, TCustomDrawState State,
    TCustomDrawStage Stage, bool&, bool& DefaultDraw)
{
    RepaintSelectedNode(sender, Node, State, Stage);
    DefaultDraw = true;
}

// Over the bare background the screen cursor goes back to the default, so the controls' own
// cursors show again.
void TVelmarForm::bodyMouseMove(TObject*, TShiftState, int, int)
{
    Screen.SetCursor(crDefault);
}

void TVelmarForm::FormMouseMove(TObject*, TShiftState, int, int)
{
    SetCursor(crDefault);
}
