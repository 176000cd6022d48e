#include "framework/TGraphic.h"

#include "framework/TStream.h"

void TGraphic::SetTransparent(bool transparent)
{
    if (transparent == m_transparent)
        return;
    m_transparent = transparent;
    Changed();
}

void TGraphic::LoadFromFile(const std::string& disc_path)
{
    TFileStream stream(disc_path, TFileMode::fmOpenRead);
    LoadFromStream(stream);
}

void TGraphic::Changed()
{
    if (OnChange)
        OnChange(this);
}
