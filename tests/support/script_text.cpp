#include "support/script_text.h"

#include <stdexcept>

#include "platform/text.h"

namespace {
using Step = ScriptedPop3Server::Step;

std::string_view AfterPrefix(std::string_view line, std::string_view prefix) {
    line.remove_prefix(prefix.size());
    if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    return line;
}

Step ParseLine(std::string_view line) {
    struct Keyword {
        std::string_view word;
        Step::Kind kind;
        bool hasNumber;
    };
    static const Keyword kKeywords[] = {
        {"!chunk", Step::Chunk, true},  {"!pause", Step::Pause, true},  {"!close", Step::Close, false},
        {"!reset", Step::Reset, false}, {"!stall", Step::Stall, false}, {"!next", Step::Next, false},
        {"!drop", Step::Drop, false},
    };
    if (line.starts_with("S:")) return {Step::Send, UnescapeScriptText(AfterPrefix(line, "S:"))};
    if (line.starts_with("C:")) return {Step::Expect, UnescapeScriptText(AfterPrefix(line, "C:"))};
    if (line.starts_with("!raw")) return {Step::Raw, UnescapeScriptText(AfterPrefix(line, "!raw"))};
    for (const Keyword& k : kKeywords) {
        if (!line.starts_with(k.word)) continue;
        std::string argument = Trim(line.substr(k.word.size()));
        std::optional<std::int32_t> number = TryStrToInt(argument);
        if (k.hasNumber ? !number : !argument.empty()) break;
        return {k.kind, "", number.value_or(0)};
    }
    throw std::invalid_argument("fake POP3 server: bad script line: " + std::string(line));
}
}  // namespace

std::vector<Step> ParsePop3Script(std::string_view script) {
    std::vector<Step> steps;
    while (!script.empty()) {
        std::size_t lf = script.find('\n');
        std::string_view line = script.substr(0, lf);
        script.remove_prefix(lf == std::string_view::npos ? script.size() : lf + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) steps.push_back(ParseLine(line));
    }
    return steps;
}

std::string UnescapeScriptText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c != '\\' || next == '\0') {
            out += c;
        } else if (next == 'r' || next == 'n' || next == 't' || next == '\\') {
            out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
            ++i;
        } else if (next == 'x' && i + 3 < text.size() && HexDigitValue(text[i + 2]) >= 0 &&
                   HexDigitValue(text[i + 3]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]));
            i += 3;
        } else {
            out += c;
        }
    }
    return out;
}

std::string PrintableBytes(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (u < 32 || u >= 127) {
            out += "\\x";
            AppendHexByte(out, u);
        } else {
            out += c;
        }
    }
    return out;
}

std::string MultiLineReply(std::string_view first, std::string_view body) {
    std::string script = "S: " + std::string(first) + "\n";
    while (!body.empty()) {
        std::size_t lf = body.find('\n');
        std::string_view line = body.substr(0, lf);
        body.remove_prefix(lf == std::string_view::npos ? body.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string escaped;
        for (char c : line) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        script += "S: " + std::string(line.starts_with(".") ? "." : "") + escaped + "\n";
    }
    return script + "S: .\n";
}
