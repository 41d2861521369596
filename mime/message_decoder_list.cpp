#include "mime/message_decoder_list.h"

#include <utility>
#include <vector>

#include "message/message.h"
#include "mime/message_decoder_mime.h"
#include "mime/message_decoder_uue.h"
#include "platform/text.h"

namespace {

struct Registration {
    std::string name;
    std::unique_ptr<TIdMessageDecoderInfo> info;
};

// Built on first use, which comes before any reception; the two standard
// recognisers are registered first, UUE before MIME.
std::vector<Registration>& Registry() {
    static std::vector<Registration> registry = [] {
        std::vector<Registration> r;
        r.push_back({"UUE", std::make_unique<TIdMessageDecoderInfoUUE>()});
        r.push_back({"MIME", std::make_unique<TIdMessageDecoderInfoMIME>()});
        return r;
    }();
    return registry;
}

}  // namespace

std::unique_ptr<TIdMessageDecoder> TIdMessageDecoderInfoUUE::RecognizeStart(TIdMessage& message,
                                                                            const std::string& line) {
    if (line.size() < 10 || !EqualsIgnoringCase(line.substr(0, 6), "begin ") || line[9] != ' ')
        return nullptr;
    if (StrToIntDef(line.substr(6, 3), 0) <= 0) return nullptr;
    auto decoder = std::make_unique<TIdMessageDecoderUUE>(message);
    // The name's charset is declared nowhere, as for a raw 8-bit header.
    decoder->FileName = UnlabelledToUtf8(line.substr(10));
    decoder->PartType = PartAttachment;
    return decoder;
}

std::unique_ptr<TIdMessageDecoder> TIdMessageDecoderInfoMIME::RecognizeStart(TIdMessage& message,
                                                                             const std::string& line) {
    // An empty stack has no boundary: a line of two hyphens is then text.
    const std::string boundary = message.BoundaryStack.CurrentBoundary();
    if (!boundary.empty() && EqualsIgnoringCase(line, "--" + boundary))
        return std::make_unique<TIdMessageDecoderMIME>(message);
    if (IsWholeBodyEncoding(message.ContentTransferEncoding))
        return std::make_unique<TIdMessageDecoderMIME>(message, line);
    return nullptr;
}

std::unique_ptr<TIdMessageDecoder> TIdMessageDecoderList::FindDecoder(TIdMessage& message,
                                                                      const std::string& line) {
    for (Registration& r : Registry()) {
        if (auto decoder = r.info->RecognizeStart(message, line)) return decoder;
    }
    return nullptr;
}

std::string TIdMessageDecoderList::Names() {
    std::string names;
    for (const Registration& r : Registry()) names += (names.empty() ? "" : ",") + r.name;
    return names;
}
