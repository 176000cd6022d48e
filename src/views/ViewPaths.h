#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

// The text rules the section views compose their paths and lines with. All text is Windows-1251.
namespace ViewPaths {

// Characters `first` (counted from 1) to `first + count - 1` of `text`, clipped to the text: a start
// past the end or a count below 1 gives an empty text.
std::string Copy(std::string_view text, long first, long count);

// A picture number as the disc names it: two digits below 10 ("00" ... "09"), otherwise as it is.
std::string PictureNumber(int number);

// Drawing `number` of a scheme whose folder (ending in a backslash) is `folder`.
std::string SchemePicturePath(const std::string& folder, int number);

// Picture `number` of the Nazca figure whose folder (inside "Photo\" of `naska_folder`) is `folder`.
std::string NaskaPicturePath(const std::string& naska_folder, const std::string& folder, int number);

// An information line: its parts joined by single spaces (empty parts keep their spaces).
std::string JoinLine(std::initializer_list<std::string_view> parts);

} // namespace ViewPaths

// Runs `step` and hands back what it raised (null when nothing), so that a handler can finish its
// own work before the error goes on to the error box.
std::exception_ptr CatchFailure(const std::function<void()>& step);
