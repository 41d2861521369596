#include "app/look_alikes.h"

#include <algorithm>

#include "app/texts.h"
#include "message/address_text.h"
#include "message/sender_addresses.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "platform/unicode_text.h"

namespace {

std::string_view DomainOf(std::string_view address) {
    const std::size_t at = address.rfind('@');
    return at == std::string_view::npos ? std::string_view() : address.substr(at + 1);
}

// One letter replaced, added, dropped or two swapped, past the first: a
// typo of the domain. A change of the first letter makes another name
// ("mail.com" beside "gmail.com"), so it does not count.
bool OneEditAway(std::string_view a, std::string_view b) {
    if (a == b || a.empty() || b.empty() || a[0] != b[0]) return false;
    if (a.size() < b.size()) std::swap(a, b);
    if (a.size() - b.size() > 1) return false;
    std::size_t i = 0;
    while (i < b.size() && a[i] == b[i]) ++i;
    if (a.size() != b.size()) return a.substr(i + 1) == b.substr(i);
    if (a.substr(i + 1) == b.substr(i + 1)) return true;
    return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] && a.substr(i + 2) == b.substr(i + 2);
}

// Short domains differ by one letter too often to be a sign.
constexpr std::size_t kShortestTypoDomain = 6;
constexpr std::size_t kMostCachedSkeletons = 20000;

}  // namespace

void LookAlikes::Assign(const std::vector<std::string>& friendEntries) {
    friends_.clear();
    hasNames_ = false;
    for (const std::string& entry : friendEntries) {
        const std::string trimmed = Trim(entry);
        if (trimmed.empty()) continue;
        Friend f;
        f.entry = trimmed;
        const std::string folded = FoldedText(trimmed);
        if (folded.starts_with("*.")) {
            f.domain = folded.substr(2);
            f.subdomains = true;
        } else if (const std::size_t at = folded.rfind('@'); at != std::string::npos) {
            f.domain = folded.substr(at + 1);
            if (at > 0 && folded != "*@" + f.domain) f.address = folded;
        } else {
            f.name = folded;
            f.nameSkeleton = ConfusableSkeleton(folded);
            hasNames_ = true;
        }
        if (!f.address.empty()) f.addressSkeleton = ConfusableSkeleton(f.address);
        if (!f.domain.empty()) f.domainSkeleton = ConfusableSkeleton(f.domain);
        friends_.push_back(std::move(f));
    }
}

std::string LookAlikes::Skeleton(const std::string& text) const {
    std::lock_guard<std::mutex> lock(cacheLock_);
    // Senders come back, their domains more than anything: each text is
    // skeletonized once, and the cache starts over before it grows large.
    if (skeletons_.size() > kMostCachedSkeletons) skeletons_.clear();
    auto [at, added] = skeletons_.try_emplace(text);
    if (added) at->second = ConfusableSkeleton(text);
    return at->second;
}

std::vector<std::string> LookAlikes::Of(std::string_view name, std::string_view address) const {
    std::vector<std::string> reasons;
    const std::string rawAddress = Trim(address);
    const std::string ownAddress = FoldedText(rawAddress);
    if (!friends_.empty()) {
        const std::string domain(DomainOf(ownAddress));
        const std::string rawDomain(DomainOf(rawAddress));
        const std::string rawName = hasNames_ ? Trim(name) : std::string();
        const std::string foldedName = FoldedText(rawName);
        for (const Friend& f : friends_) {
            bool like = false;
            if (!f.domain.empty() && !domain.empty()) {
                const bool sameLook = Skeleton(rawDomain) == f.domainSkeleton;
                // An address like a friend's is at least on a domain like the friend's.
                if (sameLook && !f.address.empty() && ownAddress != f.address)
                    like = Skeleton(rawAddress) == f.addressSkeleton;
                if (!like && domain != f.domain && !(f.subdomains && WithinDomain(domain, f.domain)))
                    like = sameLook || (std::min(domain.size(), f.domain.size()) >= kShortestTypoDomain &&
                                        OneEditAway(domain, f.domain));
            }
            if (!like && !f.name.empty() && !foldedName.empty() && foldedName != f.name)
                like = Skeleton(rawName) == f.nameSkeleton;
            if (like) reasons.push_back(FormatText(std::string(texts::kLooksLikeReason), {f.entry}));
        }
    }
    if (name.find('@') == std::string_view::npos) return reasons;
    for (const std::string& inName : SenderAddresses(name))
        if (FoldedText(inName) != ownAddress) {
            reasons.emplace_back(texts::kOtherAddressInNameReason);
            break;
        }
    return reasons;
}
