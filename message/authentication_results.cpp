#include "message/authentication_results.h"

#include <algorithm>

#include "message/address_text.h"
#include "platform/text.h"

namespace {

// A ";"-separated piece of the header as words: comments dropped, quoted
// strings unquoted, blanks around "=", "/" and "." joined away, so
// "dkim = pass" and "header . d=x" read as one word each.
using Words = std::vector<std::string>;

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Skips a comment starting at `i` ('('); nested ones and quoted pairs too.
std::size_t SkipComment(std::string_view text, std::size_t i) {
    int depth = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            ++i;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth == 0) {
            return i + 1;
        }
    }
    return i;
}

// Blanks and comments from `i` on.
std::size_t SkipSpace(std::string_view text, std::size_t i) {
    while (i < text.size()) {
        if (Blank(text[i]))
            ++i;
        else if (text[i] == '(')
            i = SkipComment(text, i);
        else
            break;
    }
    return i;
}

bool Joins(char c) { return c == '=' || c == '/' || c == '.'; }

std::vector<Words> Pieces(std::string_view text) {
    std::vector<Words> pieces(1);
    std::string word;
    auto endWord = [&] {
        if (!word.empty()) pieces.back().push_back(std::move(word));
        word.clear();
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ';') {
            endWord();
            pieces.emplace_back();
            ++i;
        } else if (c == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) ++i;
                word += text[i];
            }
            ++i;
        } else if (Blank(c) || c == '(') {
            const std::size_t next = SkipSpace(text, i);
            // "dkim = pass", "header . d=x": a key goes on across the blank,
            // a value never does (a signature may end in "=" or "/").
            const bool inKey = !word.empty() && word.find('=') >= word.size() - 1;
            const bool joined = inKey && (Joins(word.back()) || (next < text.size() && Joins(text[next])));
            if (!joined) endWord();
            i = next;
        } else {
            word += c;
            ++i;
        }
    }
    endWord();
    std::erase_if(pieces, [](const Words& w) { return w.empty(); });
    return pieces;
}

// "key=value" split at the first "="; false without one or with an empty key.
bool KeyValue(std::string_view word, std::string& key, std::string& value) {
    const std::size_t eq = word.find('=');
    if (eq == std::string_view::npos || eq == 0) return false;
    key = LowerCase(word.substr(0, eq));
    value = std::string(word.substr(eq + 1));
    return true;
}

std::optional<AuthMethodResult> MethodOf(const Words& words) {
    std::string key, value;
    if (!KeyValue(words[0], key, value) || value.empty() || key.find('.') != std::string::npos)
        return std::nullopt;
    AuthMethodResult r;
    r.method = key.substr(0, key.find('/'));
    r.result = LowerCase(value);
    if (r.method.empty()) return std::nullopt;
    for (std::size_t w = 1; w < words.size(); ++w) {
        if (!KeyValue(words[w], key, value)) continue;
        if (key == "reason") {
            r.reason = value;
            continue;
        }
        const std::size_t dot = key.find('.');
        if (dot == std::string::npos || dot == 0 || dot + 1 == key.size()) continue;
        r.properties.push_back({key.substr(0, dot), key.substr(dot + 1), value});
    }
    return r;
}

bool IsResult(const Words& words) { return words[0].find('=') != std::string::npos; }

AuthResults ParsePieces(std::vector<Words> pieces, std::size_t first) {
    AuthResults results;
    if (first >= pieces.size()) return results;
    // A first piece with a result in it: the service wrote no id.
    if (!IsResult(pieces[first])) {
        const Words& id = pieces[first];
        results.authservId = LowerCase(id[0]);
        if (id.size() > 1) results.version = TryStrToInt(id[1]);
        ++first;
    }
    for (std::size_t p = first; p < pieces.size(); ++p)
        if (auto r = MethodOf(pieces[p])) results.results.push_back(std::move(*r));
    return results;
}

std::string DomainOf(std::string_view value) {
    const std::size_t at = value.rfind('@');
    return LowerCase(Trim(at == std::string_view::npos ? value : value.substr(at + 1)));
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Whether `line` starts the header `name` (any case, blanks before the colon).
bool IsHeader(std::string_view line, std::string_view name) {
    if (line.size() <= name.size()) return false;
    for (std::size_t k = 0; k < name.size(); ++k)
        if (Lower(line[k]) != Lower(name[k])) return false;
    std::size_t k = name.size();
    while (k < line.size() && Blank(line[k])) ++k;
    return k < line.size() && line[k] == ':';
}

}  // namespace

std::string AuthMethodResult::Property(std::string_view type, std::string_view name) const {
    for (const AuthProperty& p : properties)
        if (p.type == type && p.name == name) return p.value;
    return {};
}

AuthResults ParseAuthenticationResults(std::string_view value) { return ParsePieces(Pieces(value), 0); }

AuthResults ParseArcAuthenticationResults(std::string_view value) {
    std::vector<Words> pieces = Pieces(value);
    std::string key, number;
    if (pieces.empty() || !KeyValue(pieces[0][0], key, number) || key != "i") return ParsePieces(pieces, 0);
    AuthResults results = ParsePieces(std::move(pieces), 1);
    results.instance = TryStrToInt(number);
    return results;
}

bool ServiceWrote(const ResultService& service, std::string_view authservId) {
    if (authservId.empty()) return false;
    const std::string id = LowerCase(authservId);
    return std::any_of(service.ids.begin(), service.ids.end(), [&](const std::string& trusted) {
        if (trusted.starts_with("*."))
            return id.size() > trusted.size() - 1 && id.ends_with(trusted.substr(1));
        return id == trusted;
    });
}

std::optional<AuthResults> TrustedResults(const TIdHeaderList& header, const ResultService& service) {
    if (service.Empty()) return std::nullopt;
    std::optional<AuthResults> arc;  // the topmost ARC copy the service wrote
    for (int i = 0; i < header.Count(); ++i) {
        const std::string& line = header[i];
        if (IsHeader(line, "Authentication-Results")) {
            AuthResults results = ParseAuthenticationResults(header.ValueAtLine(i));
            if (service.topmost || ServiceWrote(service, results.authservId)) return results;
        } else if (!arc && IsHeader(line, "ARC-Authentication-Results")) {
            AuthResults results = ParseArcAuthenticationResults(header.ValueAtLine(i));
            if (ServiceWrote(service, results.authservId)) arc = std::move(results);
        }
    }
    return arc;
}

SenderAuthentication Alignment(const std::optional<AuthResults>& results, std::string_view fromDomain) {
    const std::string from = LowerCase(Trim(fromDomain));
    if (!results || from.empty()) return SenderAuthentication::Unknown;
    bool failed = false;
    for (const AuthMethodResult& r : results->results) {
        const bool pass = r.result == "pass";
        if (r.method == "dmarc") {
            const std::string claimed = DomainOf(r.Property("header", "from"));
            if (!claimed.empty() && claimed != from) continue;
            if (pass) return SenderAuthentication::Authenticated;
            failed = failed || r.result == "fail";
        } else if (r.method == "dkim" && pass) {
            std::string signer = DomainOf(r.Property("header", "d"));
            if (signer.empty()) signer = DomainOf(r.Property("header", "i"));
            if (WithinDomain(from, signer)) return SenderAuthentication::Authenticated;
        } else if (r.method == "spf" && pass) {
            if (WithinDomain(from, DomainOf(r.Property("smtp", "mailfrom"))))
                return SenderAuthentication::Authenticated;
        } else if (r.method == "compauth") {
            // A service's composite verdict for domains without a policy.
            failed = failed || r.result == "fail";
        }
    }
    return failed ? SenderAuthentication::Failed : SenderAuthentication::Unknown;
}

std::string VerdictText(const AuthResults& results) {
    std::string text;
    for (const AuthMethodResult& r : results.results) {
        if (!text.empty()) text += "; ";
        text += r.method + "=" + r.result;
        for (const AuthProperty& p : r.properties)
            if ((p.type == "header" && (p.name == "from" || p.name == "d")) ||
                (p.type == "smtp" && p.name == "mailfrom"))
                text += " " + p.type + "." + p.name + "=" + p.value;
    }
    return text;
}
