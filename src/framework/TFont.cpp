#include "framework/TFont.h"

#include <cmath>

void TFont::Changed()
{
    m_face.reset();
    if (OnChange)
        OnChange(this);
}

void TFont::SetName(const std::string& name)
{
    if (name == m_name)
        return;
    m_name = name;
    Changed();
}

void TFont::SetHeight(int height)
{
    if (height == m_height)
        return;
    m_height = height;
    Changed();
}

int TFont::Size() const
{
    return -int(std::lround(double(m_height) * 72 / m_pixels_per_inch));
}

void TFont::SetSize(int points)
{
    SetHeight(-int(std::lround(double(points) * m_pixels_per_inch / 72)));
}

void TFont::SetStyle(TFontStyles style)
{
    if (style == m_style)
        return;
    m_style = style;
    Changed();
}

void TFont::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    Changed();
}

void TFont::Assign(const TFont& other)
{
    if (this == &other)
        return;
    m_name = other.m_name;
    m_height = other.m_height;
    m_style = other.m_style;
    m_color = other.m_color;
    m_pixels_per_inch = other.m_pixels_per_inch;
    Changed();
}

FontFace& TFont::Face() const
{
    if (!m_face)
        m_face = FontFace::Get({ m_name, m_height, (m_style & fsBold) != 0, (m_style & fsItalic) != 0,
            (m_style & fsUnderline) != 0 });
    return *m_face;
}
