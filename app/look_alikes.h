#pragma once
// Senders dressed as a friend: an address, domain or display name that
// reads like a friend entry without being it (Unicode's confusable
// skeletons: a Cyrillic "а", "rn" for "m"; or one letter changed in a friend's
// domain), and display names that carry an address other than the sender's
// own. Built from the friend list once, asked for every row of a scan.
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class LookAlikes {
public:
    void Assign(const std::vector<std::string>& friendEntries);
    // Why the sender of display name `name` and address `address` looks
    // like someone else: "ressemble à <entry>" for each friend entry it
    // imitates, "nom contenant une autre adresse". Empty for an ordinary
    // sender, and for a friend itself.
    std::vector<std::string> Of(std::string_view name, std::string_view address) const;

private:
    struct Friend {
        std::string entry;                  // as the list holds it
        std::string address, domain, name;  // folded; empty when the entry has none
        std::string addressSkeleton, domainSkeleton, nameSkeleton;
        bool subdomains = false;  // "*.amis.fr"
    };
    // ConfusableSkeleton of `text`, kept for the next sender that has it.
    std::string Skeleton(const std::string& text) const;

    std::vector<Friend> friends_;
    bool hasNames_ = false;
    mutable std::mutex cacheLock_;
    mutable std::unordered_map<std::string, std::string> skeletons_;
};
