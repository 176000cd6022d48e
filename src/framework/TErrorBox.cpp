#include "framework/TErrorBox.h"

#include "platform/WindowBackend.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Geometry of the box, in pixels at the design density.
constexpr int Frame = 3;          // the raised three-pixel dialog frame
constexpr int CaptionHeight = 18; // the title strip
constexpr int Padding = 12;       // around the contents
constexpr int IconSize = 32;
constexpr int IconGap = 12;       // between the icon and the text
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 23;
constexpr int ButtonGap = 14;     // between the text and the button
constexpr int MinWidth = 220;
constexpr int WindowMargin = 10;  // the box keeps this far inside the window

constexpr const char* Ellipsis = "\x85"; // "…" in Windows-1251

TFont TextFont()
{
    return TFont();
}

TFont TitleFont()
{
    TFont font;
    font.SetStyle(fsBold);
    font.SetColor(clWhite);
    return font;
}

// One-pixel lines along the top and left in one colour, along the bottom and right in another.
void Edge(TCanvas& canvas, Rect r, TColor top_left, TColor bottom_right)
{
    canvas.Brush() = TBrush { top_left, TBrushStyle::bsSolid };
    canvas.FillRect({ r.left, r.top, r.right - 1, r.top + 1 });
    canvas.FillRect({ r.left, r.top, r.left + 1, r.bottom - 1 });
    canvas.Brush().Color = bottom_right;
    canvas.FillRect({ r.left, r.bottom - 1, r.right, r.bottom });
    canvas.FillRect({ r.right - 1, r.top, r.right, r.bottom });
}

Rect Deflated(Rect r, int by)
{
    return { r.left + by, r.top + by, r.right - by, r.bottom - by };
}

std::uint8_t Mix(std::uint8_t from, std::uint8_t to, double amount)
{
    return std::uint8_t(std::lround(from + (to - from) * amount));
}

TColor MixColors(TColor from, TColor to, double amount)
{
    return RGB(Mix(GetRValue(from), GetRValue(to), amount), Mix(GetGValue(from), GetGValue(to), amount),
        Mix(GetBValue(from), GetBValue(to), amount));
}

// The error icon: a red disc with a darker rim and a white diagonal cross, anti-aliased by
// sampling each pixel 4 x 4 times, blended over what lies below.
void DrawErrorIcon(TCanvas& canvas, Rect icon)
{
    const double radius = icon.Width() / 2.0 - 0.5;
    const double centre_x = icon.left + icon.Width() / 2.0;
    const double centre_y = icon.top + icon.Height() / 2.0;
    const double arm = radius * 0.45;        // half the length of a stroke of the cross
    const double stroke = radius * 0.14;     // half its width
    const Point origin = canvas.Origin();
    canvas.WithPixels([&](PixelBuffer& pixels, Rect clip) {
        Rect area = icon.Translated(origin.x, origin.y).Intersected(clip).Intersected(pixels.Bounds());
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                int disc = 0, rim = 0, cross = 0;
                for (int sy = 0; sy < 4; ++sy) {
                    for (int sx = 0; sx < 4; ++sx) {
                        double dx = x - origin.x + (sx + 0.5) / 4 - centre_x;
                        double dy = y - origin.y + (sy + 0.5) / 4 - centre_y;
                        double distance = std::hypot(dx, dy);
                        if (distance > radius)
                            continue;
                        ++disc;
                        if (distance > radius - 1.5)
                            ++rim;
                        bool on_cross = std::max(std::abs(dx), std::abs(dy)) <= arm
                            && std::min(std::abs(dx - dy), std::abs(dx + dy)) / std::sqrt(2.0) <= stroke;
                        cross += on_cross;
                    }
                }
                if (disc == 0)
                    continue;
                // Lighter towards the top left, as if lit from there.
                double shade = std::clamp((y - origin.y - icon.top) / double(icon.Height()), 0.0, 1.0);
                TColor red = MixColors(RGB(238, 70, 60), RGB(180, 16, 16), shade);
                TColor colour = MixColors(red, RGB(128, 0, 0), rim / double(disc));
                colour = MixColors(colour, clWhite, cross / double(disc));
                TColor below = PixelToColor(pixels.At(x, y));
                pixels.At(x, y) = ColorToPixel(MixColors(below, colour, disc / 16.0));
            }
        }
    });
}

} // namespace

TErrorBox::TErrorBox(std::string title, std::string message, Size window)
    : m_title(std::move(title))
    , m_message(std::move(message))
{
    FontFace& text_face = TextFont().Face();
    FontFace& title_face = TitleFont().Face();
    m_line_height = std::max(1, text_face.Metrics().height);

    const int chrome_width = 2 * Frame + 2 * Padding + IconSize + IconGap;
    const int max_box_width = std::max(1, window.width - 2 * WindowMargin);
    const int max_text_width = std::max(1, std::min(window.width * 5 / 8, max_box_width - chrome_width));
    const int chrome_height = 2 * Frame + CaptionHeight + 2 * Padding + ButtonGap + ButtonHeight;
    const int max_lines = std::max(1, (window.height - 2 * WindowMargin - chrome_height) / m_line_height);
    m_lines = WrapText(m_message, max_text_width, max_lines, [&](std::string_view s) { return text_face.TextWidth(s); });

    int text_width = 0;
    for (const std::string& line : m_lines)
        text_width = std::max(text_width, text_face.TextWidth(line));
    const int text_height = int(m_lines.size()) * m_line_height;
    const int body_height = std::max(IconSize, text_height);

    int width = std::max({ chrome_width + text_width, 2 * Frame + 2 * Padding + title_face.TextWidth(m_title),
        2 * Frame + 2 * Padding + ButtonWidth, MinWidth });
    width = std::min(width, max_box_width);
    const int height = chrome_height + body_height;
    m_bounds = Rect::FromSize(std::max(0, (window.width - width) / 2), std::max(0, (window.height - height) / 2),
        width, height);

    const int body_top = m_bounds.top + Frame + CaptionHeight + Padding;
    m_icon = Rect::FromSize(m_bounds.left + Frame + Padding, body_top, IconSize, IconSize);
    m_text = Rect::FromSize(m_icon.right + IconGap, body_top + (body_height - text_height) / 2,
        std::min(text_width, m_bounds.right - Frame - Padding - (m_icon.right + IconGap)), text_height);
    m_ok = Rect::FromSize(m_bounds.left + (width - ButtonWidth) / 2, body_top + body_height + ButtonGap, ButtonWidth,
        ButtonHeight);
}

Rect TErrorBox::CaptionRect() const
{
    return { m_bounds.left + Frame, m_bounds.top + Frame, m_bounds.right - Frame, m_bounds.top + Frame + CaptionHeight };
}

void TErrorBox::Paint(TCanvas& canvas) const
{
    CanvasState saved(canvas);
    canvas.Pen() = TPen {};
    canvas.CopyMode = TCopyMode::cmSrcCopy;
    canvas.Brush() = TBrush { clBtnFace, TBrushStyle::bsSolid };
    canvas.FillRect(m_bounds);
    Edge(canvas, m_bounds, cl3DLight, cl3DDkShadow);
    Edge(canvas, Deflated(m_bounds, 1), clBtnHighlight, clBtnShadow);

    // The title strip, shaded from the active caption colour to a lighter blue.
    Rect caption = CaptionRect();
    TColor from = ColorToRGB(clActiveCaption), to = RGB(166, 202, 240);
    for (int x = caption.left; x < caption.right; ++x) {
        canvas.Brush().Color = MixColors(from, to, (x - caption.left) / double(std::max(1, caption.Width() - 1)));
        canvas.FillRect({ x, caption.top, x + 1, caption.bottom });
    }
    canvas.Font() = TitleFont();
    canvas.Brush().Style = TBrushStyle::bsClear;
    int title_top = caption.top + (caption.Height() - canvas.TextHeight(m_title)) / 2;
    canvas.TextRect(Deflated(caption, 1), caption.left + 4, title_top, m_title);

    DrawErrorIcon(canvas, m_icon);

    canvas.Font() = TextFont();
    canvas.Font().SetColor(clWindowText);
    Rect text_clip = { m_text.left, m_text.top, m_bounds.right - Frame - Padding, m_text.bottom };
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        canvas.TextRect(text_clip, m_text.left, m_text.top + int(i) * m_line_height, m_lines[i]);

    // OK: the default button (a black outline), raised, or sunken while pressed; a focus mark.
    canvas.Brush() = TBrush { clBtnFace, TBrushStyle::bsSolid };
    canvas.FillRect(m_ok);
    canvas.Brush().Color = clBlack;
    canvas.FrameRect(m_ok);
    Rect inner = Deflated(m_ok, 1);
    int shift = 0;
    if (m_pressed) {
        canvas.Brush().Color = clBtnShadow;
        canvas.FrameRect(inner);
        shift = 1;
    } else {
        Edge(canvas, inner, clBtnHighlight, cl3DDkShadow);
        Edge(canvas, Deflated(inner, 1), cl3DLight, clBtnShadow);
    }
    canvas.Font() = TextFont();
    canvas.Font().SetColor(clBtnText);
    canvas.Brush().Style = TBrushStyle::bsClear;
    const std::string ok = "OK";
    canvas.TextRect(inner, m_ok.left + (m_ok.Width() - canvas.TextWidth(ok)) / 2 + shift,
        m_ok.top + (m_ok.Height() - canvas.TextHeight(ok)) / 2 + shift, ok);
    canvas.DrawFocusRect(Deflated(m_ok, 4));
}

void TErrorBox::MouseDown(Point p)
{
    m_tracking = m_ok.Contains(p);
    m_pressed = m_tracking;
}

void TErrorBox::MouseMove(Point p)
{
    if (m_tracking)
        m_pressed = m_ok.Contains(p);
}

bool TErrorBox::MouseUp(Point p)
{
    bool clicked = m_tracking && m_ok.Contains(p);
    m_tracking = false;
    m_pressed = false;
    return clicked;
}

bool TErrorBox::ClosesOnKey(int virtual_key)
{
    return virtual_key == VK_RETURN || virtual_key == VK_ESCAPE || virtual_key == VK_SPACE;
}

std::vector<std::string> TErrorBox::WrapText(std::string_view text, int max_width, int max_lines,
    const std::function<int(std::string_view)>& measure)
{
    std::vector<std::string> lines;
    auto fits = [&](std::string_view s) { return measure(s) <= max_width; };
    // One line past the limit tells that the text goes on; the rest need not be measured.
    auto full = [&] { return max_lines > 0 && int(lines.size()) > max_lines; };
    std::size_t start = 0;
    while (!full()) {
        std::size_t end = text.find('\n', start);
        std::string_view paragraph = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        if (!paragraph.empty() && paragraph.back() == '\r')
            paragraph.remove_suffix(1);
        std::string line;
        std::size_t pos = 0;
        while (pos < paragraph.size() && !full()) {
            if (paragraph[pos] == ' ' || paragraph[pos] == '\t') {
                ++pos;
                continue;
            }
            std::size_t word_end = paragraph.find_first_of(" \t", pos);
            std::string word(paragraph.substr(pos, word_end == std::string_view::npos ? paragraph.npos : word_end - pos));
            pos = word_end == std::string_view::npos ? paragraph.size() : word_end;
            std::string joined = line.empty() ? word : line + ' ' + word;
            if (fits(joined)) {
                line = std::move(joined);
                continue;
            }
            if (!line.empty())
                lines.push_back(std::exchange(line, {}));
            // A word wider than a line is cut where it no longer fits, at least one character a line.
            while (!full()) {
                std::size_t keep = 1;
                while (keep < word.size() && fits(std::string_view(word).substr(0, keep + 1)))
                    ++keep;
                if (keep >= word.size())
                    break;
                lines.push_back(word.substr(0, keep));
                word.erase(0, keep);
            }
            line = std::move(word);
        }
        lines.push_back(std::move(line));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    if (full()) {
        lines.resize(std::size_t(max_lines));
        std::string& last = lines.back();
        while (!last.empty() && !fits(last + Ellipsis))
            last.pop_back();
        while (!last.empty() && last.back() == ' ')
            last.pop_back();
        last += Ellipsis;
    }
    return lines;
}
