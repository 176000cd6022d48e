#include "framework/TLabel.h"

TLabel::TLabel(TComponent* owner)
    : TGraphicControl(owner)
{
}

void TLabel::SetCaption(const std::string& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    ContentChanged();
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAutoSize(bool auto_size)
{
    m_auto_size = auto_size;
    AdjustBounds();
}

void TLabel::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    Invalidate();
}

void TLabel::FontChanged()
{
    AdjustBounds();
    Invalidate();
}

void TLabel::AdjustBounds()
{
    if (!m_auto_size)
        return;
    FontFace& face = Font().Face();
    SetBounds(Left(), Top(), face.TextWidth(m_caption), face.Metrics().height);
}

void TLabel::Paint(TCanvas& canvas)
{
    if (!m_transparent) {
        canvas.Brush().Color = Color();
        canvas.FillRect(ClientRect());
    }
    canvas.SetBkMode(TRANSPARENT);
    canvas.TextOut(0, 0, m_caption);
}
