#pragma once
// Turning a decoder's part into an item of the message's Parts: a text part
// is decoded into memory and kept as lines, an attachment is decoded line by
// line straight into a new temporary file. A part is added only once its
// whole body has been read, so Parts keeps the order of the message.
#include <memory>
#include <optional>
#include <string_view>

#include "mime/message_decoder.h"
#include "mime/text_budget.h"
#include "platform/charset.h"

class TIdMessage;

// Reads the part's body into memory as lines (see TextLinesStream) and
// appends a TIdText holding them, converted from the charset of the part's
// Content-Type (the message's when the part names none), with the part's
// Content-Type and Content-Transfer-Encoding. Returns the
// next part's decoder (or none) and sets `endOfMessage` as ReadPartBody does.
// Lines are kept while `budget` (when given) lasts; the rest is read and
// dropped. Throws what ReadPartBody throws; no part is added then.
std::unique_ptr<TIdMessageDecoder> ProcessTextPart(TIdMessage& message,
                                                   std::unique_ptr<TIdMessageDecoder> decoder,
                                                   bool& endOfMessage, TextBudget* budget = nullptr);

// Decodes the part's body into a new temporary file and appends a
// TIdAttachment naming it. Returns and sets as ProcessTextPart. Throws what
// ReadPartBody throws, and EIdException when the file cannot be created or
// written; the file stays on disk and no part is added then.
std::unique_ptr<TIdMessageDecoder> ProcessAttachment(TIdMessage& message,
                                                     std::unique_ptr<TIdMessageDecoder> decoder,
                                                     bool& endOfMessage);
