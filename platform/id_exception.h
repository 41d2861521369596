#pragma once
// Root of every error the system raises. Each kind is a small subclass with a
// fixed French message in UTF-8; the layers declare their own kinds.
#include <exception>
#include <string>
#include <string_view>
#include <vector>

// Where an error comes from, declared by each class beside it: what the
// server sent or refused, the network (name, connection, time limit, TLS),
// the account as configured, a local file; Other for the rest.
enum class ErrorKind { Server, Network, Account, LocalFile, Other };
// What a person reads as the cause of a failed session, declared by the
// classes that have one, beside their kind; None for an error whose own
// message says it best. Subclasses share their base's cause.
enum class ErrorCause { None, LogInRefused, Unreachable, Certificate, Tls, Silent, Dropped };

class EIdException : public std::exception {
public:
    explicit EIdException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    // Every concrete class states its kind: none can be left to a default.
    virtual ErrorKind Kind() const noexcept = 0;
    virtual ErrorCause Cause() const noexcept { return ErrorCause::None; }

private:
    std::string message_;
};

// Every error class of the program, each with a sample of itself, so that a
// check can go through them all. Filled as the headers that declare them are
// compiled in.
struct DeclaredError {
    const char* name;
    std::exception_ptr (*sample)();
};
const std::vector<DeclaredError>& DeclaredErrors();
bool ListDeclaredError(DeclaredError error);

// Inside a hand-written error class: its kind.
#define VANNOIR_ERROR_KIND(KindName) \
    ErrorKind Kind() const noexcept override { return ErrorKind::KindName; }
// Inside a hand-written error class: the cause it stands for.
#define VANNOIR_ERROR_CAUSE(CauseName) \
    ErrorCause Cause() const noexcept override { return ErrorCause::CauseName; }
// After a hand-written error class: lists it, with a sample built of `...`.
#define VANNOIR_LIST_ERROR(Name, ...)                   \
    inline const bool Name##Listed = ListDeclaredError( \
        {#Name, []() -> std::exception_ptr { return std::make_exception_ptr(Name(__VA_ARGS__)); }})

// Declares `class Name : public Base` of kind `KindName` (an ErrorKind)
// whose default message is `Text`, and lists it.
#define VANNOIR_DECLARE_ERROR(Name, Base, KindName, Text) \
    VANNOIR_DECLARE_CAUSED_ERROR(Name, Base, KindName, None, Text)
// The same, for a class that stands for cause `CauseName` (an ErrorCause).
#define VANNOIR_DECLARE_CAUSED_ERROR(Name, Base, KindName, CauseName, Text) \
    class Name : public Base {                                              \
    public:                                                                 \
        Name() : Base(std::string(Text)) {}                                 \
        explicit Name(std::string message) : Base(std::move(message)) {}    \
        VANNOIR_ERROR_KIND(KindName)                                        \
        VANNOIR_ERROR_CAUSE(CauseName)                                      \
    };                                                                      \
    VANNOIR_LIST_ERROR(Name)

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
    VANNOIR_ERROR_KIND(Server)
};
VANNOIR_LIST_ERROR(EConvertError, std::string("x"));
