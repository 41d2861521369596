#include "platform/id_exception.h"

namespace {
std::vector<DeclaredError>& Declared() {
    static std::vector<DeclaredError> errors;
    return errors;
}
}  // namespace

const std::vector<DeclaredError>& DeclaredErrors() { return Declared(); }

bool ListDeclaredError(DeclaredError error) {
    // Each header's listing runs once per file that includes it.
    for (const DeclaredError& known : Declared()) {
        if (std::string_view(known.name) == error.name) return true;
    }
    Declared().push_back(error);
    return true;
}
