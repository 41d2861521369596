#include "platform/memory_registry.h"

#include "platform/text.h"
#include "platform/text_format.h"

ERegistryException WrongRegistryType(std::string_view valueName) {
    return ERegistryException(
        FormatText(std::string("Type de données incorrect pour '%s'"), {std::string(valueName)}));
}

namespace {

// The first name of a backslash path, leaving the rest in `path`.
std::string_view NextPart(std::string_view& path) {
    std::size_t cut = path.find('\\');
    std::string_view part = path.substr(0, cut);
    path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
    return part;
}

}  // namespace

bool MemoryRegistry::NameOrder::operator()(const std::string& a, const std::string& b) const {
    return CompareText(a, b) < 0;
}

template <class KeyT>
KeyT* MemoryRegistry::Child(KeyT& key, std::string_view name) {
    const auto place = key.places.find(std::string(name));
    return place == key.places.end() ? nullptr : &key.subkeys[place->second];
}

const MemoryRegistry::Key* MemoryRegistry::Find(std::string_view path) const {
    const Key* key = &root_;
    while (key && !path.empty())
        if (std::string_view part = NextPart(path); !part.empty()) key = Child(*key, part);
    return key;
}

MemoryRegistry::Key& MemoryRegistry::Make(std::string_view path) {
    Key* key = &root_;
    while (!path.empty()) {
        std::string_view part = NextPart(path);
        if (part.empty()) continue;
        Key* next = Child(*key, part);
        if (!next) {
            key->places.emplace(std::string(part), key->subkeys.size());
            next = &key->subkeys.emplace_back(Key{std::string(part), {}, {}, {}});
        }
        key = next;
    }
    return *key;
}

void MemoryRegistry::AddKey(std::string_view path) { Make(path); }

void MemoryRegistry::SetValue(std::string_view keyPath, std::string_view name, RegistryValue value) {
    Key& key = Make(keyPath);
    for (auto& [existing, stored] : key.values) {
        if (SameText(existing, name)) {
            stored = std::move(value);
            return;
        }
    }
    key.values.emplace_back(std::string(name), std::move(value));
}

bool MemoryRegistry::OpenKeyReadOnly(std::string_view path) {
    open_.reset();
    if (!Find(path)) return false;
    open_ = std::string(path);
    return true;
}

std::vector<std::string> MemoryRegistry::GetKeyNames() const {
    std::vector<std::string> names;
    if (!open_) return names;
    const Key* key = Find(*open_);
    for (const Key& sub : key->subkeys) names.push_back(sub.name);
    return names;
}

const RegistryValue* MemoryRegistry::FindValue(std::string_view name) const {
    if (!open_) return nullptr;
    const Key* key = Find(*open_);
    for (const auto& [existing, value] : key->values)
        if (SameText(existing, name)) return &value;
    return nullptr;
}

bool MemoryRegistry::ValueExists(std::string_view name) const { return FindValue(name) != nullptr; }

RegistryValue RegistryValue::DWord(std::uint32_t n) {
    static const char kDigits[] = "0123456789abcdef";
    std::string data = "dword:";
    for (int shift = 28; shift >= 0; shift -= 4) data += kDigits[(n >> shift) & 0xF];
    return {Type::DWord, std::move(data)};
}

std::optional<std::uint32_t> MemoryRegistry::ReadDWord(std::string_view name) const {
    const RegistryValue* value = FindValue(name);
    constexpr std::string_view kPrefix = "dword:";
    if (!value || value->type != RegistryValue::Type::DWord || !value->data.starts_with(kPrefix) ||
        value->data.size() != kPrefix.size() + 8)
        return std::nullopt;
    std::uint32_t n = 0;
    for (char c : std::string_view(value->data).substr(kPrefix.size())) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return std::nullopt;
        n = n * 16 + static_cast<std::uint32_t>(digit);
    }
    return n;
}

std::string MemoryRegistry::ReadString(std::string_view name) const {
    const RegistryValue* value = FindValue(name);
    if (!value) return {};
    if (value->type != RegistryValue::Type::String) throw WrongRegistryType(name);
    return value->data.substr(0, value->data.find('\0'));
}
