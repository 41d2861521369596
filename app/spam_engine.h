#pragma once
// The seam between the screener and a spam engine: a whole scan judged in
// one exchange (one process or one connection, never one per message), and
// one message learned at a time from what the user decided. Engines are real
// programs spoken to through their own interfaces; one that is missing,
// slow or broken throws ESpamEngineError and screening goes on without it.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/id_exception.h"

VANNOIR_DECLARE_ERROR(ESpamEngineError, EIdException, Other, "Moteur antispam indisponible.");

enum class SpamJudgement { Wanted, Unsure, Spam };
enum class SpamLabel { Spam, Wanted };

struct SpamVerdict {
    // The engine's own score; nullopt when it gave none for this message.
    std::optional<double> score;
    SpamJudgement judgement = SpamJudgement::Unsure;
    // What made the engine decide, as it names it (rules, tokens).
    std::vector<std::string> reasons;
};

// Which engine runs and where; read from the settings file's "Antispam"
// section. A daemon's password is the controller's (rspamd) and may be empty.
struct SpamSettings {
    enum class Engine { None, Bogofilter, Rspamd, Spamd };
    Engine engine = Engine::Bogofilter;
    std::string host = "127.0.0.1";
    int port = 0;  // 0: the engine's usual port
    std::string password;
    // Spamd: the user whose rules and learning apply; empty: the daemon's default.
    std::string user;
};

class SpamEngine {
public:
    virtual ~SpamEngine() = default;
    // One verdict per message, in the order given. A message is a header
    // block (CR LF lines and the empty line ending it), possibly followed by
    // the first lines of its body. Throws ESpamEngineError.
    virtual std::vector<SpamVerdict> Judge(const std::vector<std::string>& messages) = 0;
    // Teaches one message (a header block or a whole message). With
    // `forgetOther`, first forgets it as the other label: the user changed
    // their mind. Throws ESpamEngineError.
    virtual void Learn(std::string_view message, SpamLabel label, bool forgetOther) = 0;
};
