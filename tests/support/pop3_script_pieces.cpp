#include "support/pop3_script_pieces.h"

#include "platform/text.h"
#include "support/scripted_pop3_server.h"

std::string Login() { return "S: +OK ready\nC: USER anne\nS: +OK\nC: PASS secret\nS: +OK\n"; }
std::string Capa(bool pipelining) {
    return std::string("C: CAPA\nS: +OK\nS: TOP\nS: USER\n") + (pipelining ? "S: PIPELINING\n" : "") +
           "S: .\n";
}
std::string LoginWithCapa(const std::string& capaAfter) {
    return "S: +OK ready\n" + Capa() + "C: USER anne\nS: +OK\nC: PASS secret\nS: +OK\n" + capaAfter;
}
std::string ScanLogin() { return LoginWithCapa(Capa()); }
std::string RefusedLogin(std::string_view answer) {
    return "S: +OK ready\n" + Capa(false) +
           "C: USER anne\nS: +OK\nC: PASS secret\nS: " + std::string(answer) + "\n";
}
std::string Stat(int count) {
    return "C: STAT\nS: +OK " + IntToStr(count) + " " + IntToStr(count * 100) + "\n";
}
std::string Stats(int count, int times) {
    std::string script;
    for (int i = 0; i < times; ++i) script += Stat(count);
    return script;
}
std::string Top(int i, std::string_view header) {
    return "C: TOP " + IntToStr(i) + " 0\n" + MultiLineReply("+OK", std::string(header) + "\n\n");
}
std::string List(int i, int size) {
    return "C: LIST " + IntToStr(i) + "\nS: +OK " + IntToStr(i) + " " + IntToStr(size) + "\n";
}
std::string Dele(int i) { return "C: DELE " + IntToStr(i) + "\nS: +OK\n"; }
std::string Retr(int i, std::string_view bytes) {
    std::string script = "C: RETR " + IntToStr(i) + "\nS: +OK\n";
    for (std::size_t from = 0; from < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", from);
        std::string line = "S: " + std::string(bytes[from] == '.' ? "." : "");
        for (char c : bytes.substr(from, end - from)) {
            static const char kHex[] = "0123456789ABCDEF";
            const auto u = static_cast<unsigned char>(c);
            if (c == '\\')
                line += "\\\\";
            else if (c == '\r')
                line += "\\r";
            else if (u >= 0x80)
                line += std::string("\\x") + kHex[u >> 4] + kHex[u & 15];
            else
                line += c;
        }
        script += line + "\n";
        from = end + 2;
    }
    return script + "S: .\n";
}

std::string Quit() { return "C: QUIT\nS: +OK\n"; }
std::string Header(std::string_view from, std::string_view subject) {
    return "From: " + std::string(from) + "\nSubject: " + std::string(subject);
}
std::string Message(int i, std::string_view header, int size) { return Top(i, header) + List(i, size); }

std::string ScanOf(const std::vector<std::string>& headers) {
    const int n = static_cast<int>(headers.size());
    std::string script = ScanLogin() + Stats(n, 4);
    for (int i = 1; i <= n; ++i) script += Message(i, headers[i - 1], i * 100);
    return script + Quit();
}
