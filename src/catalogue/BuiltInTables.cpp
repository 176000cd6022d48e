#include "catalogue/BuiltInTables.h"

#include "platform/Cp1251.h"

namespace Catalogue::BuiltIn {

namespace {

std::vector<std::string> Convert(std::initializer_list<const char*> texts)
{
    std::vector<std::string> result;
    result.reserve(texts.size());
    for (const char* text : texts)
        result.push_back(Text(text));
    return result;
}

} // namespace

std::string Text(const char* utf8)
{
    return Utf8ToCp1251(utf8);
}

std::vector<std::string> Countries()
{
    // "Росия" is written so on the disc's catalogue as well; the names must match byte for byte.
    return Convert({ "Австрия", "Бельгия", "Великобритания", "Германия", "Италия", "Канада", "Мексика",
        "Нидерланды", "Польша", "Росия", "Словения", "США", "Чехия", "Швейцария", "Швеция", "Шотландия" });
}

std::vector<TVideo> Videos()
{
    struct Row {
        const char* file_name;
        const char* country;
        const char* title;
        const char* date_text;
    };
    static constexpr Row rows[] = {
        { "2005B.mpg", "", "Quenlow", "2004" },
        { "2002_48.mpg", "Великобритания", "East Field, Alton Barnes", "2002" },
        { "2004_31.mpg", "Великобритания", "Silbury Hill, Avebury", "2004" },
        { "2005_33.MPG", "Великобритания", "Wiltshire, Avebury Henge", "24.07.2005" },
        { "2005_29.MPG", "Великобритания", "Wiltshire, Avebury Manor", "27.07.2005" },
        { "2005_27.MPG", "Великобритания", "Wiltshire, Avebury Stone Avenue", "29.07.2005" },
        { "2005_34.MPG", "Великобритания", "Wiltshire, East Kennett", "24.07.2005" },
        { "2005_22.MPG", "Великобритания", "Wiltshire, Marlborough", "03.08.2005" },
        { "2001_22.mpg", "Великобритания", "Wiltshire, Old Shaw Village", "28.07.2001" },
        { "2005_47.MPG", "Великобритания", "Wiltshire, Savernake Forest", "19.07.2005" },
        { "2005_35.MPG", "Великобритания", "Wiltshire, Swindon", "24.07.2005" },
        { "2005_24.MPG", "Великобритания", "Wiltshire, The Ridgeway", "31.07.2005" },
        { "UFO_Field_Forming.mpg", "", "", "" },
    };
    std::vector<TVideo> videos;
    for (const Row& row : rows)
        videos.push_back(TVideo { Text(row.file_name), Text(row.country), Text(row.title), Text(row.date_text) });
    return videos;
}

std::vector<std::string> VideoCaptions()
{
    std::vector<std::string> captions;
    for (const TVideo& video : Videos())
        captions.push_back(video.Title);
    captions.front() = "Quenlow";
    captions.back() = "UFO Field Forming";
    return captions;
}

std::vector<std::string> ArticleTitles()
{
    return Convert({ "Биологические изменения", "Круги на полях", "Ответ на послание", "Рисунки на полях",
        "Чиболтонское послание 2002 года" });
}

std::vector<std::string> NaskaArticles()
{
    return Convert({ "Культура Наска", "Неземной разум", "Плато Наска", "Огни пустыни", "Рисунки Наска" });
}

std::vector<std::string> NaskaLabels()
{
    return Convert({ "Алькатрас", "Астронавт", "Птенец кондора", "Птичка", "Кондор", "Собака", "Цветок", "Руки",
        "Колибри", "Касатка", "Карты", "Обезьяна", "Другие", "Папугай", "Паук", "Трапеции", "Дерево",
        "Треугольники", "Гриф", "Кит" });
}

} // namespace Catalogue::BuiltIn
