#pragma once
// Pieces of scripts for the scripted POP3 server, for the conversations of
// the screener's mailbox actions (account anne / secret).
#include <string>
#include <string_view>
#include <vector>

// Greeting, USER anne / PASS secret accepted.
std::string Login();
// CAPA answered with a list that holds PIPELINING (as Dovecot's does), or not.
std::string Capa(bool pipelining = true);
// A mailbox action's log-in: CAPA before it (PIPELINING listed, though the
// script answers each command in turn), then `capaAfter`, the CAPA after it.
std::string LoginWithCapa(const std::string& capaAfter);
// LoginWithCapa(Capa()).
std::string ScanLogin();
// A mailbox action's log-in whose PASS gets `answer` ("-ERR ..."); no
// PIPELINING before it, so the refusal is followed by QUIT.
std::string RefusedLogin(std::string_view answer);
// STAT answered with `count` messages.
std::string Stat(int count);
// `times` STAT exchanges.
std::string Stats(int count, int times);
// TOP i 0 answered with `header` (lines separated by "\n") and a blank line.
std::string Top(int i, std::string_view header);
// LIST i answered "+OK i size".
std::string List(int i, int size);
std::string Dele(int i);
// RETR i answered with `bytes` (CR LF lines, the last one ended): dot-stuffed,
// a CR inside a line, "\" and 8-bit bytes escaped for the script.
std::string Retr(int i, std::string_view bytes);
std::string Quit();
// A header block "From: <from>" and "Subject: <subject>".
std::string Header(std::string_view from, std::string_view subject);
// TOP and LIST of a message of `size` octets.
std::string Message(int i, std::string_view header, int size);
// A whole scan of messages with these headers (message i of i * 100
// octets), no intruder question: log-in, CAPA, the STATs, TOP and LIST, QUIT.
std::string ScanOf(const std::vector<std::string>& headers);
// Between two sessions.
inline const std::string kNextSession = "!next\n";
