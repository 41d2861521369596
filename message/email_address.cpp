#include "message/email_address.h"

#include "message/address_text.h"
#include "platform/text.h"

using namespace address_text;

namespace {

constexpr std::string_view kStartSet = "(\"< @\t";
constexpr std::string_view kBlanks = " \t";

std::string_view TrimLeftView(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s[0]) <= 32) s.remove_prefix(1);
    return s;
}

// One pass over an address text: each step looks at the next syntax character
// and consumes a prefix of the remaining text, so the loop always ends.
class AddressParser {
public:
    AddressParser(TIdEMailAddressItem& item, std::string text)
        : item_(item), text_(std::move(text)), t_(text_) {}
    void Run();

private:
    void OnBlank(std::size_t p);
    void OnQuote(std::size_t p);
    void OnOpenComment(std::size_t p);
    void OnPeriod(std::size_t p);
    void OnLessThan(std::size_t p);
    void OnGreaterThan(std::size_t p);
    void OnAt(std::size_t p);
    void OnBackslash(std::size_t p);
    std::string_view NextSet() const;
    std::string& QuotedTarget() { return angle_ ? item_.Address : item_.Name; }

    TIdEMailAddressItem& item_;
    const std::string text_;
    std::string_view t_;
    int depth_ = 0;
    bool inAddress_ = false, angle_ = false, inQuote_ = false, afterAt_ = false;
};

void AddressParser::Run() {
    std::size_t p = FindFirstOf(kStartSet, t_);
    if (p == 0) {
        item_.Address = t_;
        return;
    }
    while (p != 0) {
        switch (t_[p - 1]) {
            case ' ':
            case '\t':
                OnBlank(p);
                break;
            case '"':
                OnQuote(p);
                break;
            case '(':
                OnOpenComment(p);
                break;
            case ')':
                --depth_;
                t_ = After(t_, p);
                break;  // the comment text is dropped
            case '.':
                OnPeriod(p);
                break;
            case '<':
                OnLessThan(p);
                break;
            case '>':
                OnGreaterThan(p);
                break;
            case '@':
                OnAt(p);
                break;
            case '\\':
                OnBackslash(p);
                break;
            default:
                t_ = After(t_, p);
                break;  // not reachable: every set holds only the cases above
        }
        p = FindFirstOf(NextSet(), t_);
    }
    if (inAddress_ && !angle_) item_.Address += TrimAllOf(kBlanks, Trim(t_));
}

std::string_view AddressParser::NextSet() const {
    if (depth_ > 0) return "()\\";
    if (inQuote_) return "\"\\";
    if (afterAt_ && angle_) return ".>(";
    if (afterAt_) return ".( ";
    if (inAddress_) return "\"(@>";
    return kStartSet;
}

void AddressParser::OnBlank(std::size_t p) {
    if (p == 1) {
        t_.remove_prefix(1);
        return;
    }
    if (afterAt_) {
        item_.Address += Trim(Head(t_, p - 1));
    } else {
        item_.Name += Head(t_, p);
    }
    t_ = After(t_, p);
}

void AddressParser::OnQuote(std::size_t p) {
    if (inQuote_) {
        QuotedTarget() += Trim(Head(t_, p - 1));
        t_ = After(t_, p);
        inQuote_ = false;
        return;
    }
    // Text glued before an opening quote joins the quoted text's destination,
    // as the text before a comment joins the name.
    QuotedTarget() += Head(t_, p - 1);
    t_ = After(t_, p);
    inQuote_ = true;
}

void AddressParser::OnOpenComment(std::size_t p) {
    ++depth_;
    if (p == 1) {
        t_.remove_prefix(1);
        return;
    }
    if (inAddress_) {
        item_.Address += Trim(Head(t_, p - 1));
    } else if (depth_ == 1) {
        item_.Name += Head(t_, p - 1);
    }
    t_ = After(t_, p);
}

void AddressParser::OnPeriod(std::size_t p) {
    if (angle_) {
        item_.Address += TrimAllOf(kBlanks, Trim(Head(t_, p - 1)));
        item_.Address += '.';
        t_ = TrimLeftView(After(t_, p));
    } else {
        item_.Address += Head(t_, p);
        t_ = After(t_, p);
    }
}

void AddressParser::OnLessThan(std::size_t p) {
    if (p > 1) item_.Name += Head(t_, p - 1);
    item_.Name = std::string(TrimAllOf(kBlanks, Trim(item_.Name)));
    angle_ = true;
    inAddress_ = true;
    t_ = After(t_, p);
}

void AddressParser::OnGreaterThan(std::size_t p) {
    inAddress_ = false;
    afterAt_ = false;
    item_.Address += TrimAllOf(kBlanks, Trim(Head(t_, p - 1)));
    t_ = After(t_, p);
}

void AddressParser::OnAt(std::size_t p) {
    afterAt_ = true;
    if (!inAddress_ && angle_) throw EIdEmailParseError();
    inAddress_ = true;
    item_.Address += Head(t_, p);
    t_ = After(t_, p);
}

void AddressParser::OnBackslash(std::size_t p) {
    if (inQuote_) {
        std::string& target = inAddress_ ? item_.Address : item_.Name;
        target += Head(t_, p - 1);
        // A backslash ending the text escapes nothing.
        if (p < t_.size()) target += t_[p];
    }
    t_ = After(t_, p + 1);
}

}  // namespace

void TIdEMailAddressItem::SetText(std::string_view text) {
    Address.clear();
    Name.clear();
    std::string t = Trim(text);
    if (t.empty()) return;
    AddressParser(*this, std::move(t)).Run();
}

std::string TIdEMailAddressItem::AddressForm() const {
    if (Address.empty()) return Name.empty() ? std::string() : "<>";
    const std::size_t at = Address.rfind('@');
    std::string_view domain, local;
    if (at != std::string::npos) {
        domain = std::string_view(Address).substr(at);
        local = std::string_view(Address).substr(0, at);
    }
    // Quoted when a character other than an atom character comes first and it
    // is not a period; the quotes then hold the whole local part.
    const std::size_t i = FindFirstNotOf(IsAtomChar, local);
    if (i > 0 && local[i - 1] != '.') {
        std::string q = "<\"";
        AppendEscaped(q, local);
        return q + "\"" + std::string(domain) + ">";
    }
    const std::string bare = std::string(local) + std::string(domain);
    return Name.empty() ? bare : "<" + bare + ">";
}

std::string TIdEMailAddressItem::Text() const {
    if (Name.empty() || Name == UpperCase(Address)) return AddressForm();
    const std::size_t i = FindFirstNotOf(IsNameChar, Name);
    if (i == 0) return Name + " " + AddressForm();
    // Every character that is not a name character is escaped where needed;
    // plain runs are copied as they are.
    std::string q = "\"";
    q += Head(Name, i - 1);
    AppendEscaped(q, std::string_view(Name).substr(i - 1));
    return q + "\" " + AddressForm();
}

void TIdEMailAddressItem::Assign(const TIdEMailAddressItem& other) {
    Address = other.Address;
    Name = other.Name;
}
