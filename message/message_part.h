#pragma once
// One item of a message's Parts: a decoded text part (TIdText) or an
// attachment whose decoded bytes are in a file (TIdAttachment). A part keeps
// its content type, transfer encoding and disposition as values of its own
// header list, so they pass through folding on write and unfolding on read.
#include <string>
#include <string_view>

#include "message/header_list.h"
#include "platform/component.h"
#include "platform/string_list.h"

class TIdMessagePart : public TIdBaseComponent {
public:
    // The base is abstract: creating it always throws EIdCanNotCreateMessagePart.
    TIdMessagePart();

    TIdHeaderList& Headers() { return headers_; }
    const TIdHeaderList& Headers() const { return headers_; }
    // Value of "Content-Type" in Headers (empty when absent); an empty value
    // removes the line.
    std::string ContentType() const { return headers_.ValueOf("Content-Type"); }
    void SetContentType(std::string_view value) { headers_.SetValueOf("Content-Type", value); }
    // Value of "Content-Transfer-Encoding" in Headers, likewise.
    std::string ContentTransfer() const { return headers_.ValueOf("Content-Transfer-Encoding"); }
    void SetContentTransfer(std::string_view value) {
        headers_.SetValueOf("Content-Transfer-Encoding", value);
    }
    TIdHeaderList& ExtraHeaders() { return extraHeaders_; }
    const TIdHeaderList& ExtraHeaders() const { return extraHeaders_; }
    // Copies the lines only.
    void SetExtraHeaders(const TStringList& lines) { extraHeaders_.Assign(lines); }

    // The part's transfer encoding broke off (a base64 line of a length that
    // is not a multiple of 4): it holds only what decoded before.
    bool Unreadable = false;

    // Copies ContentTransfer, ContentType and the ExtraHeaders lines from a
    // part of the same class (derived classes copy their own members too).
    // Throws EConvertError for a part of another class.
    virtual void Assign(const TIdMessagePart& source);
    virtual const char* ClassName() const { return "TIdMessagePart"; }

protected:
    struct Derived {};
    explicit TIdMessagePart(Derived) {}

private:
    TIdHeaderList headers_;
    TIdHeaderList extraHeaders_;
};

class TIdText : public TIdMessagePart {
public:
    // `lines`, when given, are copied into Body.
    TIdText() : TIdMessagePart(Derived{}) {}
    explicit TIdText(const TStringList& lines) : TIdMessagePart(Derived{}), Body(lines) {}

    // The decoded text, one item per line.
    TStringList Body;

    void Assign(const TIdMessagePart& source) override;
    const char* ClassName() const override { return "TIdText"; }
};

class TIdAttachment : public TIdMessagePart {
public:
    // StoredPathName = `path`; FileName = its last component, the text after
    // the last "/", "\" or ":" (all of it when there is none).
    explicit TIdAttachment(std::string_view path = {});

    // Full path of the file that holds the decoded bytes.
    std::string StoredPathName;
    // The attachment's file name as the message gives it (no directory).
    std::string FileName;

    std::string ContentDisposition() const { return Headers().ValueOf("Content-Disposition"); }
    void SetContentDisposition(std::string_view value) { Headers().SetValueOf("Content-Disposition", value); }

    // `name` as a file name fit to show and to save under: every path
    // separator ("/", "\\") and control character becomes "_".
    static std::string SafeFileName(std::string_view name);

    // Also copies ContentDisposition and FileName, not StoredPathName.
    void Assign(const TIdMessagePart& source) override;
    const char* ClassName() const override { return "TIdAttachment"; }
};
