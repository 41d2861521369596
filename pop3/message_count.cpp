#include "pop3/message_count.h"

#include "platform/text.h"
#include "pop3/pop3_errors.h"

std::optional<std::int32_t> NonNegativeCount(std::string_view text) {
    std::optional<std::int32_t> count = TryStrToInt(text);
    if (count && *count < 0)
        throw EIdPOP3NegativeCount(std::string(pop3_text::kNegativeCount) + std::string(text) + "\".");
    return count;
}
