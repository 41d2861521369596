#pragma once
// Root of every error the system raises. Each kind is a small subclass with a
// fixed French message in UTF-8; the layers declare their own kinds.
#include <exception>
#include <string>
#include <string_view>

class EIdException : public std::exception {
public:
    explicit EIdException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// Declares `class Name : public Base` whose default message is `Text` (UTF-8
// source text).
#define VANNOIR_DECLARE_ERROR(Name, Base, Text)                          \
    class Name : public Base {                                           \
    public:                                                              \
        Name() : Base(std::string(Text)) {}                              \
        explicit Name(std::string message) : Base(std::move(message)) {} \
    }

// The whole message of any error: what() stops at the first byte 0, which a
// server's reply may hold; an EIdException's Message() does not.
inline std::string ErrorText(const std::exception& e) {
    if (const auto* id = dynamic_cast<const EIdException*>(&e)) return id->Message();
    return e.what();
}

// The integer-conversion error of StrToInt: text that is not a whole integer.
class EConvertError : public EIdException {
public:
    using EIdException::EIdException;
};
