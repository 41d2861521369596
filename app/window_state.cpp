#include "app/window_state.h"

#include <algorithm>

#include "platform/ini_file.h"
#include "platform/text.h"

namespace {

constexpr std::string_view kSection = "Fenetre";
constexpr std::size_t kColumns = 5;

std::vector<int> Numbers(std::string_view text) {
    std::vector<int> numbers;
    std::string rest(text);
    while (!rest.empty()) {
        const std::optional<std::int32_t> number = TryStrToInt(SplitAt(rest, ","));
        if (!number) return {};
        numbers.push_back(*number);
    }
    return numbers;
}

std::string Joined(const std::vector<int>& numbers) {
    std::string text;
    for (int number : numbers) text += (text.empty() ? "" : ",") + IntToStr(number);
    return text;
}

bool IsColumnOrder(std::vector<int> order) {
    std::sort(order.begin(), order.end());
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i] != static_cast<int>(i)) return false;
    return order.size() == kColumns;
}

}  // namespace

std::optional<WindowState> ReadWindowState(const std::filesystem::path& settings) {
    const TIniFile ini(settings);
    WindowState state;
    state.left = ini.ReadInteger(kSection, "Gauche", 0);
    state.top = ini.ReadInteger(kSection, "Haut", 0);
    state.width = ini.ReadInteger(kSection, "Largeur", 0);
    state.height = ini.ReadInteger(kSection, "Hauteur", 0);
    if (state.width <= 0 || state.height <= 0) return std::nullopt;
    state.columnOrder = Numbers(ini.ReadString(kSection, "Colonnes"));
    if (!IsColumnOrder(state.columnOrder)) state.columnOrder.clear();
    state.columnWidths = Numbers(ini.ReadString(kSection, "Largeurs"));
    const bool widthsUsable = state.columnWidths.size() == kColumns &&
                              std::all_of(state.columnWidths.begin(), state.columnWidths.end(),
                                          [](int width) { return width > 0; });
    if (!widthsUsable) state.columnWidths.clear();
    state.account = std::clamp(ini.ReadInteger(kSection, "Compte", 1), 0, 10);
    return state;
}

void WriteWindowState(const std::filesystem::path& settings, const WindowState& state) {
    const FileChangeLock lock = LockIniForChange(settings);
    std::string bytes = ReadIniBytesForChange(settings);
    const std::pair<std::string_view, std::string> values[] = {
        {"Gauche", IntToStr(state.left)},        {"Haut", IntToStr(state.top)},
        {"Largeur", IntToStr(state.width)},      {"Hauteur", IntToStr(state.height)},
        {"Colonnes", Joined(state.columnOrder)}, {"Largeurs", Joined(state.columnWidths)},
        {"Compte", IntToStr(state.account)}};
    for (const auto& [key, value] : values) bytes = IniWithValue(bytes, kSection, key, value);
    StoreIniBytes(settings, bytes);
}
