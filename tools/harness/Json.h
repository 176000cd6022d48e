#pragma once

#include <string>
#include <string_view>

// A small writer of one-line JSON. Strings are UTF-8; control characters are escaped.
class Json {
public:
    Json& BeginObject();
    Json& EndObject();
    Json& BeginArray();
    Json& EndArray();
    Json& Key(std::string_view key);
    Json& String(std::string_view utf8);
    Json& Number(long long value);
    Json& Bool(bool value);
    const std::string& Text() const { return m_text; }

private:
    void Separate();
    std::string m_text;
    bool m_need_comma { false };
};
