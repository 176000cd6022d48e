#include "platform/DesktopScale.h"

#include "platform/WindowScale.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

// A positive finite number, the whole text; else empty.
std::optional<double> ParseNumber(std::string_view text)
{
    text = Trimmed(text);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

std::optional<std::string> Environment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || !*value)
        return std::nullopt;
    return std::string(value);
}

// Xft.dpi as the X server's resource database holds it (what xrdb loaded), or empty.
std::optional<double> ReadXftDpi()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return std::nullopt;
    std::optional<double> dpi;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        if (XrmDatabase database = XrmGetStringDatabase(resources)) {
            char* type = nullptr;
            XrmValue value {};
            if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
                dpi = ParseNumber(std::string_view(value.addr, value.size ? value.size - 1 : 0));
            XrmDestroyDatabase(database);
        }
    }
    XCloseDisplay(display);
    return dpi;
}

} // namespace

std::optional<double> ParseScale(std::string_view text)
{
    text = Trimmed(text);
    bool percent = !text.empty() && text.back() == '%';
    if (percent)
        text.remove_suffix(1);
    std::optional<double> value = ParseNumber(text);
    if (!value)
        return std::nullopt;
    double factor = percent ? *value / 100 : *value;
    for (double supported : WindowScale::Supported)
        if (std::fabs(factor - supported) < 1e-6)
            return supported;
    return std::nullopt;
}

double SupportedScaleAtMost(double wanted)
{
    double best = WindowScale::Supported[0];
    for (double supported : WindowScale::Supported)
        if (supported <= wanted + 1e-6)
            best = supported;
    return best;
}

ScaleChoice ChooseWindowScale(const DesktopScaleSettings& settings, Size window)
{
    ScaleChoice choice;
    if (settings.velmar_scale) {
        if (std::optional<double> factor = ParseScale(*settings.velmar_scale)) {
            choice.factor = *factor;
            choice.chosen_by_user = true;
            return choice;
        }
        choice.warning = "VELMAR_SCALE=\"" + *settings.velmar_scale
            + "\" is not one of 1, 1.25, 1.5, 2, 3; the desktop's scale is used";
    }

    double wanted = 1;
    std::optional<double> gdk = settings.gdk_scale ? ParseNumber(*settings.gdk_scale) : std::nullopt;
    if (gdk && *gdk >= 1 && std::floor(*gdk) == *gdk)
        wanted = *gdk; // GDK_SCALE is a whole number by definition
    else if (settings.xft_dpi && *settings.xft_dpi > 0)
        wanted = *settings.xft_dpi / 96;
    else if (settings.display_scale && *settings.display_scale > 0)
        wanted = *settings.display_scale;
    choice.factor = SupportedScaleAtMost(wanted);

    if (settings.usable.width > 0 && settings.usable.height > 0) {
        auto fits = [&](double factor) {
            Size device = WindowScale(factor, window).Device();
            return device.width <= settings.usable.width && device.height <= settings.usable.height;
        };
        while (choice.factor > WindowScale::Supported[0] && !fits(choice.factor))
            choice.factor = SupportedScaleAtMost(choice.factor - 0.01);
    }
    return choice;
}

DesktopScaleSettings ReadDesktopScaleSettings(bool read_x_resources)
{
    DesktopScaleSettings settings;
    settings.velmar_scale = Environment("VELMAR_SCALE");
    settings.gdk_scale = Environment("GDK_SCALE");
    if (read_x_resources)
        settings.xft_dpi = ReadXftDpi();
    return settings;
}
