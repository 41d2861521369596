#pragma once
// The verdict a receiving mail service writes into the header it adds,
// Authentication-Results (and its ARC copy): who checked (the authserv-id),
// then one result per method, "dkim=pass (comment) header.d=amis.fr". The
// reader is lenient, as anything in a header may have been written by anyone:
// it never throws, skips what it cannot read and keeps the rest.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "message/header_list.h"

// "header.from=amis.fr": type "header", name "from", value "amis.fr".
struct AuthProperty {
    std::string type;  // lower case
    std::string name;  // lower case
    std::string value;
};

struct AuthMethodResult {
    std::string method;  // lower case, without its version ("dkim/1" gives "dkim")
    std::string result;  // lower case: "pass", "fail", "none", "softfail"...
    std::string reason;  // the "reason=" text, if any
    std::vector<AuthProperty> properties;
    // The value of property `type`.`name` (lower case), empty when absent.
    std::string Property(std::string_view type, std::string_view name) const;
};

struct AuthResults {
    // Lower case; empty when the header starts with a result (some services
    // write none).
    std::string authservId;
    std::optional<int> version;
    // ARC's "i=" instance; nullopt for a plain Authentication-Results.
    std::optional<int> instance;
    // Empty for "none" (nothing was checked) or when nothing could be read.
    std::vector<AuthMethodResult> results;
};

// The value of an Authentication-Results header (unfolded), per the RFC 8601
// grammar: authserv-id [version] ";" then method=result [reason=...]
// [ptype.property=value ...] separated by ";", or "none". Comments in
// parentheses and quoted strings are understood wherever they stand.
AuthResults ParseAuthenticationResults(std::string_view value);
// ARC-Authentication-Results: "i=N;" then the same.
AuthResults ParseArcAuthenticationResults(std::string_view value);

// Which result headers come from the account's own receiving service: its
// authserv-ids (lower case; "*.exemple.fr" any subdomain of exemple.fr), or,
// for a service that writes none, the topmost result header whatever it
// names. An empty service trusts nothing.
struct ResultService {
    std::vector<std::string> ids;
    bool topmost = false;
    bool Empty() const { return ids.empty() && !topmost; }
};

// Whether `authservId` is one of the service's ids.
bool ServiceWrote(const ResultService& service, std::string_view authservId);

// The service's verdict in `header`: the topmost Authentication-Results it
// wrote (a spammer may write any number of them, but only below the ones
// added on receipt), else the topmost ARC-Authentication-Results it wrote.
// nullopt when it wrote none.
std::optional<AuthResults> TrustedResults(const TIdHeaderList& header, const ResultService& service);

// What the trusted verdict says of the From domain.
enum class SenderAuthentication { Unknown, Authenticated, Failed };

// Authenticated when the results hold dmarc=pass for `fromDomain`, or
// dkim=pass with header.d (else header.i's domain) or spf=pass with
// smtp.mailfrom's domain equal to or a parent of it. Failed when not and
// dmarc says fail, or dkim or spf say fail for an aligned domain. Unknown
// otherwise (no results, nothing aligned). Domains compare ignoring case.
SenderAuthentication Alignment(const std::optional<AuthResults>& results, std::string_view fromDomain);

// "dmarc=fail header.from=amis.fr; spf=pass smtp.mailfrom=x.test": the
// results as a reader sees them, properties but not comments.
std::string VerdictText(const AuthResults& results);
