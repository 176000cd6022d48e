#pragma once

#include <exception>
#include <string>

// The root of every failure the program raises. The message is single-byte Windows-1251 text, as
// the user sees it in the error box.
class Exception : public std::exception {
public:
    explicit Exception(std::string message)
        : m_message(std::move(message))
    {
    }
    const std::string& Message() const { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

#define VELMAR_EXCEPTION(Name, Base)   \
    class Name : public Base {         \
    public:                            \
        using Base::Base;              \
    };

VELMAR_EXCEPTION(EInOutError, Exception)      // runtime input/output errors ("File not found")
VELMAR_EXCEPTION(EConvertError, Exception)    // "'%s' is not a valid integer value"
VELMAR_EXCEPTION(EStreamError, Exception)
VELMAR_EXCEPTION(EFOpenError, EStreamError)   // "Cannot open file "%s". %s"
VELMAR_EXCEPTION(EReadError, EStreamError)    // "Stream read error"
VELMAR_EXCEPTION(EInvalidGraphic, Exception)  // unknown picture type, bad bitmap
VELMAR_EXCEPTION(EOutOfMemory, Exception)
VELMAR_EXCEPTION(EListError, Exception)       // "List index out of bounds (%d)"
VELMAR_EXCEPTION(EInvalidOperation, Exception)

// printf-style formatting of a message into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
