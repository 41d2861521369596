#include "mime/header_block_limit.h"

#include "mime/mime_errors.h"

void HeaderBlockLimit::CountSkipped(std::size_t bytes) {
    bytes_ += bytes;
    ++lines_;
    field_ = 0;
    if (bytes_ > kMaxBytes || lines_ > kMaxLines) throw EIdHeaderTooLarge();
}

void HeaderBlockLimit::Count(std::string_view line) {
    bytes_ += line.size() + 2;  // the line end the block had on the wire
    ++lines_;
    const bool continuation = !line.empty() && (line[0] == ' ' || line[0] == '\t');
    field_ = continuation ? field_ + line.size() : line.size();
    if (bytes_ > kMaxBytes || lines_ > kMaxLines) throw EIdHeaderTooLarge();
    if (field_ > kMaxValueBytes) throw EIdHeaderTooLarge(std::string(mime_text::kHeaderFieldTooLarge));
}
