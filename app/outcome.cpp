#include "app/outcome.h"

#include <exception>

#include "app/window.h"
#include "platform/id_exception.h"
#include "platform/text.h"

std::string StandardErrorText(const std::string& message) {
    if (!message.empty() && message.back() == '.') return message;
    return message + ".";
}

Outcome RunShowingErrors(Dialogs& dialogs, const std::function<void()>& action) {
    std::string message;
    try {
        action();
        return Outcome::Done();
    } catch (const EIdException& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        // Library errors (file system, allocation) reach the user the same way.
        message = e.what();
    }
    std::string text = StandardErrorText(message);
    dialogs.StandardError(text);
    return Outcome::Failed(std::move(text), Trim(message));
}
