#pragma once
// The private Dovecot of the benchmarks, started once for the program and
// holding a mailbox of ordinary messages.
#include <filesystem>
#include <string>

#include "support/private_dovecot.h"

namespace bench {

// `results`: the receiving service's Authentication-Results on top, as
// today's providers write it.
inline std::string Header(int i, bool results = false) {
    std::string n = std::to_string(i);
    const std::string verdict =
        results ? "Authentication-Results: pop.example.net; dkim=pass (2048-bit key) "
                  "header.d=example.fr header.s=k1 header.b=Ab3dEf7/;\r\n"
                  "\tspf=pass smtp.mailfrom=sender" +
                      n + "@example.fr;\r\n\tdmarc=pass (p=reject) header.from=example.fr\r\n"
                : std::string();
    return verdict + "Return-Path: <sender" + n +
           "@example.fr>\r\n"
           "Received: from mail.example.fr (mail.example.fr [192.0.2.7])\r\n"
           "\tby pop.example.net with ESMTPS id " +
           n +
           "\r\n"
           "\tfor <anne@example.net>; Mon, 7 Dec 2026 09:00:00 +0100\r\n"
           "From: \"Exp\xE9"
           "diteur " +
           n + "\" <sender" + n +
           "@example.fr>\r\n"
           "To: Anne Martin <anne@example.net>\r\n"
           "Subject: Message de test " +
           n +
           " avec un sujet assez long\r\n"
           "Date: Mon, 7 Dec 2026 09:00:00 +0100\r\n"
           "Message-ID: <" +
           n +
           ".bench@example.fr>\r\n"
           "MIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=\"iso-8859-1\"\r\n"
           "Content-Transfer-Encoding: 8bit\r\n";
}

// The private Dovecot, started once for the program, holding `count`
// messages.
class Mailbox {
public:
    static const PrivateDovecot& With(int count, bool results = false) {
        static Mailbox mailbox;
        if (mailbox.count_ != count || mailbox.results_ != results) {
            mailbox.dovecot_.ClearMailbox();
            for (int i = 1; i <= count; ++i)
                mailbox.dovecot_.AddMessage(Header(i, results) + "\r\nCorps du message.\r\n");
            mailbox.count_ = count;
            mailbox.results_ = results;
        }
        return mailbox.dovecot_;
    }
    ~Mailbox() {
        if (own_) dovecot_.Stop();
    }

private:
    Mailbox() {
        if (auto running = PrivateDovecot::FromEnvironment()) {
            dovecot_ = *running;
        } else {
            dovecot_ = PrivateDovecot::Start(VANNOIR_BENCH_RUNTIME_DIR "/bench-dovecot");
            own_ = true;
        }
    }
    PrivateDovecot dovecot_;
    bool own_ = false;
    int count_ = -1;
    bool results_ = false;
};

}  // namespace bench
