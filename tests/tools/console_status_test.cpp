#include <gtest/gtest.h>

#include <sstream>

#include "platform/text.h"
#include "tools/console_window.h"

namespace {
// A scan's status texts: progress goes on one rewritten line on a terminal,
// and nowhere otherwise.
TEST(ConsoleStatus, ProgressOnlyOnATerminal) {
    const std::pair<bool, const char*> kCases[] = {
        {true,
         "Connect\xC3\xA9.\n2 messages\n\rConnect\xC3\xA9. 1 / 2\rConnect\xC3\xA9. 2 / 2\nD\xC3\xA9"
         "connexion.\n"},
        {false,
         "Connect\xC3\xA9.\n2 messages\nD\xC3\xA9"
         "connexion.\n"},
    };
    for (const auto& [terminal, expected] : kCases) {
        std::ostringstream err;
        ConsoleStatus status(err);
        EXPECT_FALSE(status.showProgress) << "a string stream is no terminal";
        status.showProgress = terminal;
        status.SetPanelText(0, std::string("Connecté."));
        status.SetPanelText(1, "2 messages");
        status.SetPanelText(0, std::string("Connecté. 1 / 2"));
        status.SetPanelText(0, std::string("Connecté. 2 / 2"));
        status.SetPanelText(0, std::string("Déconnexion."));
        EXPECT_EQ(err.str(), expected) << "terminal: " << terminal;
    }
}
}  // namespace
