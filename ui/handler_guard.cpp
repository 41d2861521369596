#include "ui/handler_guard.h"

#include "platform/id_exception.h"
#include "ui/qt_dialogs.h"

void RunGuarded(QtDialogs& dialogs, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const EIdException& e) {
        dialogs.StandardError(e.Message());
    } catch (const std::exception& e) {
        dialogs.StandardError(e.what());
    }
}
