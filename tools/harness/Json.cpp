#include "Json.h"

#include <cstdio>

void Json::Separate()
{
    if (m_need_comma)
        m_text += ',';
    m_need_comma = false;
}

Json& Json::BeginObject()
{
    Separate();
    m_text += '{';
    return *this;
}

Json& Json::EndObject()
{
    m_text += '}';
    m_need_comma = true;
    return *this;
}

Json& Json::BeginArray()
{
    Separate();
    m_text += '[';
    return *this;
}

Json& Json::EndArray()
{
    m_text += ']';
    m_need_comma = true;
    return *this;
}

Json& Json::Key(std::string_view key)
{
    String(key);
    m_text += ':';
    m_need_comma = false;
    return *this;
}

Json& Json::String(std::string_view utf8)
{
    Separate();
    m_text += '"';
    for (unsigned char c : utf8) {
        switch (c) {
        case '"':
            m_text += "\\\"";
            break;
        case '\\':
            m_text += "\\\\";
            break;
        case '\n':
            m_text += "\\n";
            break;
        case '\r':
            m_text += "\\r";
            break;
        case '\t':
            m_text += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                m_text += escape;
            } else {
                m_text += char(c);
            }
        }
    }
    m_text += '"';
    m_need_comma = true;
    return *this;
}

Json& Json::Number(long long value)
{
    Separate();
    m_text += std::to_string(value);
    m_need_comma = true;
    return *this;
}

Json& Json::Bool(bool value)
{
    Separate();
    m_text += value ? "true" : "false";
    m_need_comma = true;
    return *this;
}
