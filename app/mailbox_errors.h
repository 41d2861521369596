#pragma once
// Errors of the mailbox actions themselves (the protocol's are pop3/'s).
#include "platform/id_exception.h"
#include "platform/text.h"

// A message count no mailbox holds: scanning it would only fill memory.
class EMailboxTooLarge : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Server)
};
VANNOIR_LIST_ERROR(EMailboxTooLarge, std::string("x"));
