#pragma once
// A message's stack of MIME boundaries; the first item is the current one.
// Boundaries are stored as given (the header processing and the part reader
// push upper-case ones); every comparison ignores case.
#include <string>
#include <string_view>

#include "platform/string_list.h"

class TIdMIMEBoundary {
public:
    // The current boundary, empty when the stack is empty.
    std::string CurrentBoundary() const { return boundaries_.Count() > 0 ? boundaries_[0] : std::string(); }
    // Puts `boundary` on top, unless it is empty or equals the current one
    // ignoring case.
    void PushBoundary(std::string_view boundary);
    // Removes the current boundary; throws EListError "Indice de liste hors
    // limites (0)" when the stack is empty.
    void PopBoundary() { boundaries_.Delete(0); }
    void ClearBoundaries() { boundaries_.Clear(); }
    int Count() const { return boundaries_.Count(); }

    // The boundary parameter of a content type, upper-cased: what follows the
    // first "BOUNDARY=" (case ignored), up to the closing double quote when it
    // is quoted (to the end when that quote is missing), else all the rest,
    // later parameters included. Empty when there is no such parameter.
    static std::string BoundaryFromContentType(std::string_view contentType);

private:
    TStringList boundaries_;
};
