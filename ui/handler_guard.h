#pragma once
// The one place where an error of a handler ends: the standard error box,
// then the program goes on.
#include <functional>

class QtDialogs;

void RunGuarded(QtDialogs& dialogs, const std::function<void()>& handler);
