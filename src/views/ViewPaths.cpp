#include "views/ViewPaths.h"

namespace ViewPaths {

std::string Copy(std::string_view text, long first, long count)
{
    if (first < 1)
        first = 1;
    if (count < 1 || first > long(text.size()))
        return {};
    std::size_t start = std::size_t(first - 1);
    return std::string(text.substr(start, std::size_t(count)));
}

std::string PictureNumber(int number)
{
    return (number < 10 ? "0" : "") + std::to_string(number);
}

std::string SchemePicturePath(const std::string& folder, int number)
{
    return folder + PictureNumber(number) + ".gif";
}

std::string NaskaPicturePath(const std::string& naska_folder, const std::string& folder, int number)
{
    return naska_folder + "Photo\\" + folder + "\\" + PictureNumber(number) + ".jpg";
}

std::string JoinLine(std::initializer_list<std::string_view> parts)
{
    std::string line;
    bool first = true;
    for (std::string_view part : parts) {
        if (!first)
            line += ' ';
        line += part;
        first = false;
    }
    return line;
}

} // namespace ViewPaths

std::exception_ptr CatchFailure(const std::function<void()>& step)
{
    try {
        step();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}
