#pragma once
// A message's stack of MIME boundaries; the first item is the current one.
// Boundaries are stored as given (the header processing and the part reader
// push upper-case ones); every comparison ignores case.
#include <string>
#include <string_view>
#include <vector>

class TIdMIMEBoundary {
public:
    // Deepest nesting kept: a deeper part's boundary is not pushed, so its
    // lines read as plain lines of the enclosing part and no message can
    // grow the stack without bound.
    static constexpr int kMaxDepth = 100;

    // The current boundary, empty when the stack is empty.
    std::string CurrentBoundary() const { return boundaries_.empty() ? std::string() : boundaries_.back(); }
    // Puts `boundary` on top, unless it is empty, equals the current one
    // ignoring case, or the stack already holds kMaxDepth boundaries. True
    // when `boundary` is then the current one.
    bool PushBoundary(std::string_view boundary);
    // Removes the current boundary; throws EListError "Indice de liste hors
    // limites (0)" when the stack is empty.
    void PopBoundary();
    void ClearBoundaries() { boundaries_.clear(); }
    int Count() const { return static_cast<int>(boundaries_.size()); }

    // The boundary parameter of a content type, upper-cased: what follows the
    // first "BOUNDARY=" (case ignored), up to the closing double quote when it
    // is quoted (to the end when that quote is missing), else all the rest,
    // later parameters included. Empty when there is no such parameter.
    static std::string BoundaryFromContentType(std::string_view contentType);

private:
    std::vector<std::string> boundaries_;  // the current one last
};
