#include "message/mime_boundary.h"

#include "platform/text.h"

void TIdMIMEBoundary::PushBoundary(std::string_view boundary) {
    if (boundaries_.Count() > 0 && AnsiSameText(boundary, boundaries_[0])) return;
    if (!boundary.empty()) boundaries_.Insert(0, std::string(boundary));
}

std::string TIdMIMEBoundary::BoundaryFromContentType(std::string_view contentType) {
    std::string upper = UpperCase(contentType);
    std::size_t at = upper.find("BOUNDARY=");
    if (at == std::string::npos) return {};
    std::string rest = upper.substr(at + 9);
    if (rest.empty() || rest.front() != '"') return rest;
    return rest.substr(1, rest.find('"', 1) - 1);
}
