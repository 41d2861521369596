#include "message/mime_boundary.h"

#include "platform/string_list.h"
#include "platform/text.h"

bool TIdMIMEBoundary::PushBoundary(std::string_view boundary) {
    if (!boundaries_.empty() && SameText(boundary, boundaries_.back())) return true;
    if (boundary.empty() || Count() >= kMaxDepth) return false;
    boundaries_.emplace_back(boundary);
    return true;
}

void TIdMIMEBoundary::PopBoundary() {
    if (boundaries_.empty()) throw EListError(0);
    boundaries_.pop_back();
}

std::string TIdMIMEBoundary::BoundaryFromContentType(std::string_view contentType) {
    std::string upper = UpperCase(contentType);
    std::size_t at = upper.find("BOUNDARY=");
    if (at == std::string::npos) return {};
    std::string rest = upper.substr(at + 9);
    if (rest.empty() || rest.front() != '"') return rest;
    return rest.substr(1, rest.find('"', 1) - 1);
}
