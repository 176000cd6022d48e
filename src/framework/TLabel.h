#pragma once

#include "framework/TGraphicControl.h"

#include <string>

// A windowless line of text in the control's font. AutoSize fits the control to the text;
// Transparent leaves the background unpainted.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    bool AutoSize() const { return m_auto_size; }
    void SetAutoSize(bool auto_size);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);

    void Paint(TCanvas& canvas) override;

protected:
    void FontChanged() override;

private:
    void AdjustBounds();

    std::string m_caption;
    bool m_auto_size { true };
    bool m_transparent { false };
};
