#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The PNG file of a layout picture, by the name of the component that shows it ("header",
// "body", "ImagePhoto", ...); empty for a name that has no picture. The bytes live in the
// program's read-only data for its whole run.
std::span<const std::uint8_t> LayoutPicture(std::string_view name);

// The names of every embedded layout picture.
std::span<const std::string_view> LayoutPictureNames();
