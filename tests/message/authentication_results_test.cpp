#include "message/authentication_results.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

auto ByName = [](const auto& info) { return std::string(info.param.name); };

// "id/version|method=result[reason]{type.name=value ...}|..." with only the
// properties the verdict reads, so a row states what matters of the parse.
std::string Summary(const AuthResults& r) {
    std::string text = r.authservId;
    if (r.version) text += "/" + std::to_string(*r.version);
    if (r.instance) text = "i" + std::to_string(*r.instance) + " " + text;
    for (const AuthMethodResult& m : r.results) {
        text += "|" + m.method + "=" + m.result;
        if (!m.reason.empty()) text += "[" + m.reason + "]";
        for (const AuthProperty& p : m.properties)
            if (p.name == "from" || p.name == "d" || p.name == "i" || p.name == "mailfrom")
                text += " " + p.type + "." + p.name + "=" + p.value;
    }
    return text;
}

struct ParseCase {
    const char* name;
    std::string value;
    std::string expected;
};
// Shapes as the services document them, unfolded as the header list gives them.
const ParseCase kShapes[] = {
    {"gmail",
     "mx.google.com; dkim=pass header.i=@amis.fr header.s=20230601 header.b=Ab3dEf7/; spf=pass "
     "(google.com: domain of claire@amis.fr designates 209.85.220.41 as permitted sender) "
     "smtp.mailfrom=claire@amis.fr; dmarc=pass (p=NONE sp=NONE dis=NONE) header.from=amis.fr",
     "mx.google.com|dkim=pass header.i=@amis.fr|spf=pass smtp.mailfrom=claire@amis.fr"
     "|dmarc=pass header.from=amis.fr"},
    {"outlook_without_authserv_id",
     "spf=pass (sender IP is 192.0.2.1) smtp.mailfrom=contoso.com; dkim=pass (signature was verified) "
     "header.d=contoso.com;dmarc=pass action=none header.from=contoso.com;compauth=pass reason=100",
     "|spf=pass smtp.mailfrom=contoso.com|dkim=pass header.d=contoso.com|dmarc=pass "
     "header.from=contoso.com|compauth=pass[100]"},
    {"outlook_failure_with_stray_domains",
     "spf=fail (sender IP is 192.0.2.1) smtp.mailfrom=contoso.com; contoso.com; dkim=fail (body hash did "
     "not verify) header.d=contoso.com; contoso.com; dmarc=fail action=oreject header.from=contoso.com",
     "|spf=fail smtp.mailfrom=contoso.com|dkim=fail header.d=contoso.com|dmarc=fail header.from=contoso.com"},
    {"yahoo_comment_glued_to_result",
     "atlas-production.v2.mail.gq1.yahoo.com; dkim=pass header.i=@amis.fr header.s=s1; spf=pass "
     "smtp.mailfrom=amis.fr; dmarc=pass(p=NONE) header.from=amis.fr;",
     "atlas-production.v2.mail.gq1.yahoo.com|dkim=pass header.i=@amis.fr|spf=pass smtp.mailfrom=amis.fr"
     "|dmarc=pass header.from=amis.fr"},
    {"fastmail_policy_properties",
     "mx3.messagingengine.com; dkim=pass (2048-bit rsa key sha256) header.d=amis.fr header.i=@amis.fr "
     "header.b=XyZ12345 header.a=rsa-sha256 header.s=fm1 x-bits=2048; dmarc=pass "
     "policy.published-domain-policy=reject policy.applied-disposition=none (p=reject,d=none,d.eval=none) "
     "policy.policy-from=p header.from=amis.fr; iprev=pass smtp.remote-ip=192.0.2.7 (mail.amis.fr); "
     "spf=pass smtp.mailfrom=claire@amis.fr smtp.helo=mail.amis.fr; x-aligned-from=pass (Address match)",
     "mx3.messagingengine.com|dkim=pass header.d=amis.fr header.i=@amis.fr|dmarc=pass header.from=amis.fr"
     "|iprev=pass|spf=pass smtp.mailfrom=claire@amis.fr|x-aligned-from=pass"},
    {"rspamd_self_hosted",
     "mail.exemple.fr; dkim=pass header.d=amis.fr header.s=dkim header.b=Qx1y2Z3a; dmarc=pass "
     "(policy=reject) header.from=amis.fr; spf=pass (mail.exemple.fr: domain of claire@amis.fr designates "
     "192.0.2.7 as permitted sender) smtp.mailfrom=claire@amis.fr",
     "mail.exemple.fr|dkim=pass header.d=amis.fr|dmarc=pass header.from=amis.fr"
     "|spf=pass smtp.mailfrom=claire@amis.fr"},
    {"version_and_none", "mail.exemple.fr 1; none", "mail.exemple.fr/1"},
    {"quoted_id_and_value", "\"mail exemple\"; spf=pass smtp.mailfrom=\"claire@amis.fr\"",
     "mail exemple|spf=pass smtp.mailfrom=claire@amis.fr"},
    {"blanks_around_equals_and_dot", "MX.Exemple.FR; DMARC = Pass header . from = amis.fr",
     "mx.exemple.fr|dmarc=pass header.from=amis.fr"},
    {"method_version_dropped", "mx.exemple.fr; dkim/1=pass header.d=amis.fr",
     "mx.exemple.fr|dkim=pass header.d=amis.fr"},
    {"nested_comment_with_semicolon", "mx.exemple.fr (a (b; c) d); spf=pass (x;y) smtp.mailfrom=amis.fr",
     "mx.exemple.fr|spf=pass smtp.mailfrom=amis.fr"},
    {"signature_ending_in_equals_keeps_next_property",
     "mx.exemple.fr; dkim=pass header.b=abc= header.d=amis.fr", "mx.exemple.fr|dkim=pass header.d=amis.fr"},
    // Malformed: never thrown, what can be read is kept.
    {"empty", "", ""},
    {"only_separators", " ; ;; ", ""},
    {"id_alone", "mx.exemple.fr", "mx.exemple.fr"},
    {"method_without_result", "mx.exemple.fr; dkim; spf=; =pass; dmarc=fail", "mx.exemple.fr|dmarc=fail"},
    {"unterminated_comment", "mx.exemple.fr; dkim=pass (open header.d=amis.fr", "mx.exemple.fr|dkim=pass"},
    {"unterminated_quote", "mx.exemple.fr; spf=pass smtp.mailfrom=\"amis.fr",
     "mx.exemple.fr|spf=pass smtp.mailfrom=amis.fr"},
    {"property_without_name", "mx.exemple.fr; dkim=pass header.=x .d=y header.d=amis.fr",
     "mx.exemple.fr|dkim=pass header.d=amis.fr"},
    {"control_bytes_and_high_bytes", "mx.exemple.fr\x01; spf=pass\xFF smtp.mailfrom=a\x7F",
     "mx.exemple.fr\x01|spf=pass\xFF smtp.mailfrom=a\x7F"},
};
class AuthResultsParse : public testing::TestWithParam<ParseCase> {};
TEST_P(AuthResultsParse, ReadsWhatItCanAndNeverThrows) {
    EXPECT_EQ(Summary(ParseAuthenticationResults(GetParam().value)), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, AuthResultsParse, testing::ValuesIn(kShapes), ByName);

const ParseCase kArcShapes[] = {
    {"gmail_arc", "i=1; mx.google.com; dkim=pass header.i=@amis.fr; dmarc=pass header.from=amis.fr",
     "i1 mx.google.com|dkim=pass header.i=@amis.fr|dmarc=pass header.from=amis.fr"},
    {"microsoft_arc_with_version", "i=2; mx.microsoft.com 1; spf=pass smtp.mailfrom=amis.fr",
     "i2 mx.microsoft.com/1|spf=pass smtp.mailfrom=amis.fr"},
    {"instance_missing", "mx.google.com; spf=pass smtp.mailfrom=amis.fr",
     "mx.google.com|spf=pass smtp.mailfrom=amis.fr"},
};
class ArcResultsParse : public testing::TestWithParam<ParseCase> {};
TEST_P(ArcResultsParse, InstanceThenTheSame) {
    EXPECT_EQ(Summary(ParseArcAuthenticationResults(GetParam().value)), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, ArcResultsParse, testing::ValuesIn(kArcShapes), ByName);

// Which header's verdict counts, and what it says of the From domain.
struct TrustCase {
    const char* name;
    std::vector<std::string> lines;
    ResultService service;
    std::string fromDomain;
    SenderAuthentication expected;
};
const ResultService kGmail{{"mx.google.com"}, false};
const ResultService kMicrosoft{{}, true};
const ResultService kYahoo{{"*.yahoo.com"}, false};
using enum SenderAuthentication;
const TrustCase kTrust[] = {
    {"trusted_dmarc_pass",
     {"Authentication-Results: mx.google.com; dmarc=pass header.from=amis.fr"},
     kGmail,
     "amis.fr",
     Authenticated},
    {"trusted_dmarc_fail",
     {"Authentication-Results: mx.google.com; dmarc=fail header.from=amis.fr"},
     kGmail,
     "amis.fr",
     Failed},
    {"forged_pass_below_trusted_fail",
     {"Authentication-Results: mx.google.com; dmarc=fail header.from=amis.fr", "Received: from x by y",
      "Authentication-Results: mx.google.com; dmarc=pass header.from=amis.fr"},
     kGmail,
     "amis.fr",
     Failed},
    {"forged_pass_with_another_id_above",
     {"Authentication-Results: evil.test; dmarc=pass header.from=amis.fr",
      "Authentication-Results: mx.google.com; dmarc=fail header.from=amis.fr"},
     kGmail,
     "amis.fr",
     Failed},
    {"only_an_untrusted_pass",
     {"Authentication-Results: evil.test; dmarc=pass header.from=amis.fr"},
     kGmail,
     "amis.fr",
     Unknown},
    {"no_service_trusts_nothing",
     {"Authentication-Results: mx.google.com; dmarc=fail header.from=amis.fr"},
     {},
     "amis.fr",
     Unknown},
    {"folded_header_read_whole",
     {"Authentication-Results: mx.google.com;", "       dkim=pass header.i=@mailer.test;",
      "       dmarc=fail header.from=amis.fr"},
     kGmail,
     "amis.fr",
     Failed},
    {"topmost_for_a_service_without_id",
     {"Authentication-Results: spf=fail smtp.mailfrom=amis.fr; dmarc=fail action=oreject header.from=amis.fr",
      "Authentication-Results: dmarc=pass header.from=amis.fr"},
     kMicrosoft,
     "amis.fr",
     Failed},
    {"compauth_fail_without_dmarc_policy",
     {"Authentication-Results: spf=none smtp.mailfrom=amis.fr; dmarc=none header.from=amis.fr;compauth=fail "
      "reason=001"},
     kMicrosoft,
     "amis.fr",
     Failed},
    {"subdomain_of_pattern_id",
     {"Authentication-Results: atlas-production.v2.mail.gq1.yahoo.com; dmarc=pass header.from=amis.fr"},
     kYahoo,
     "amis.fr",
     Authenticated},
    {"pattern_needs_a_subdomain",
     {"Authentication-Results: evilyahoo.com; dmarc=pass header.from=amis.fr"},
     kYahoo,
     "amis.fr",
     Unknown},
    {"arc_copy_when_no_plain_header",
     {"ARC-Authentication-Results: i=1; mx.google.com; dmarc=fail header.from=amis.fr"},
     kGmail,
     "amis.fr",
     Failed},
    {"arc_of_another_service_ignored",
     {"ARC-Authentication-Results: i=2; evil.test; dmarc=pass header.from=amis.fr"},
     kGmail,
     "amis.fr",
     Unknown},
    // Alignment.
    {"dkim_of_parent_domain",
     {"Authentication-Results: mx.google.com; dkim=pass header.d=amis.fr"},
     kGmail,
     "mail.amis.fr",
     Authenticated},
    {"dkim_of_a_subdomain_is_not_aligned",
     {"Authentication-Results: mx.google.com; dkim=pass header.d=mail.amis.fr"},
     kGmail,
     "amis.fr",
     Unknown},
    {"dkim_of_another_domain",
     {"Authentication-Results: mx.google.com; dkim=pass header.d=mailer.test"},
     kGmail,
     "amis.fr",
     Unknown},
    {"dkim_domain_from_identity",
     {"Authentication-Results: mx.google.com; dkim=pass header.i=@amis.fr"},
     kGmail,
     "amis.fr",
     Authenticated},
    {"spf_of_the_envelope_address",
     {"Authentication-Results: mx.google.com; spf=pass smtp.mailfrom=bounce@amis.fr"},
     kGmail,
     "AMIS.fr",
     Authenticated},
    {"look_alike_suffix_is_not_a_parent",
     {"Authentication-Results: mx.google.com; spf=pass smtp.mailfrom=mis.fr"},
     kGmail,
     "amis.fr",
     Unknown},
    {"dmarc_pass_for_another_from",
     {"Authentication-Results: mx.google.com; dmarc=pass header.from=other.test"},
     kGmail,
     "amis.fr",
     Unknown},
    {"fail_then_aligned_dkim_pass",
     {"Authentication-Results: mx.google.com; dmarc=fail header.from=amis.fr; dkim=pass header.d=amis.fr"},
     kGmail,
     "amis.fr",
     Authenticated},
    {"dkim_fail_alone_is_unknown",
     {"Authentication-Results: mx.google.com; dkim=fail header.d=amis.fr"},
     kGmail,
     "amis.fr",
     Unknown},
    {"none_is_unknown", {"Authentication-Results: mx.google.com; none"}, kGmail, "amis.fr", Unknown},
};
class TrustedVerdict : public testing::TestWithParam<TrustCase> {};
TEST_P(TrustedVerdict, OnlyTheServiceSpeaksForTheSender) {
    TIdHeaderList header;
    header.Add("From: Claire <claire@amis.fr>");
    for (const std::string& line : GetParam().lines) header.Add(line);
    header.Add("Subject: x");
    EXPECT_EQ(Alignment(TrustedResults(header, GetParam().service), GetParam().fromDomain),
              GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, TrustedVerdict, testing::ValuesIn(kTrust), ByName);

TEST(VerdictText, NamesResultsAndTheDomainsTheyAreFor) {
    EXPECT_EQ(
        VerdictText(ParseAuthenticationResults("mx.google.com; dkim=pass (ok) header.d=amis.fr header.s=k1; "
                                               "dmarc=fail (p=REJECT) header.from=amis.fr")),
        "dkim=pass header.d=amis.fr; dmarc=fail header.from=amis.fr");
}

}  // namespace
