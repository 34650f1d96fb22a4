#include "program_settings.h"

#include <vector>

#include "numbers.h"

namespace roamwise {

namespace {
// Query value, set value, create subkey, enumerate subkeys, notify, create
// link: the one mask used for reading and writing alike.
constexpr std::uint32_t kKeyAccess = 0x3F;
}  // namespace

cProgramSettings::cProgramSettings(Platform& platform, ErrorReport& report)
    : platform_(platform),
      report_(report),
      rootKey_(static_cast<std::int32_t>(kHkeyLocalMachine)),
      mainBranch_(L"SOFTWARE"),
      section_(L"Settings") {}

void cProgramSettings::ConfigureForRoamwise() {
    RootKey(static_cast<std::int32_t>(kHkeyLocalMachine));
    MainBranch(L"SOFTWARE");
    RegBase(L"Quillfern");
    Program(L"Roamwise");
    Section(L"Settings");
}

std::wstring cProgramSettings::KeyPath() const {
    std::wstring path = mainBranch_ + L"\\" + regBase_ + L"\\" + program_ + L"\\" + section_;
    // Only the one trailing separator goes; doubled ones inside stay.
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

std::string cProgramSettings::Ansi(const std::wstring& text) {
    std::string ansi;
    platform_.ToAnsi(text, ansi);
    return ansi;
}

std::wstring cProgramSettings::ReadEntry(const std::wstring& strEntry, const std::wstring& strDefault) {
    std::wstring result;
    report_.Trap(L"ReadEntry", [&] {
        const KeyValue value = GetKeyValue(rootKey_, KeyPath(), strEntry);
        std::wstring text;
        if (const auto* s = std::get_if<std::wstring>(&value)) text = *s;
        if (const auto* n = std::get_if<std::int32_t>(&value)) text = std::to_wstring(*n);
        result = text.empty() ? strDefault : text;
    });
    return result;
}

void cProgramSettings::WriteEntry(const std::wstring& strEntry, const std::wstring& strValue) {
    report_.Trap(L"WriteEntry", [&] { SetKeyValue(rootKey_, KeyPath(), strEntry, strValue, kRegSz); });
}

KeyValue cProgramSettings::GetKeyValue(std::int32_t root, const std::wstring& keyPath,
                                       const std::wstring& valueName) {
    KeyValue result;
    RegKey key = 0;
    bool open = false;
    report_.Trap(L"GetKeyValue", [&] {
        const std::string name = Ansi(valueName);
        if (platform_.RegOpenKeyExA(static_cast<std::uint32_t>(root), Ansi(keyPath), 0, kKeyAccess, &key) !=
            kErrorSuccess)
            return;
        open = true;
        std::uint32_t type = 0;
        std::uint32_t length = 0;
        if (platform_.RegQueryValueExA(key, name, &type, nullptr, &length) != kErrorSuccess) return;
        if (type == kRegSz) {
            std::vector<std::uint8_t> data(length, 0);
            std::uint32_t got = length;
            if (platform_.RegQueryValueExA(key, name, &type, data.data(), &got) != kErrorSuccess) return;
            std::string bytes(data.begin(), data.end());
            // One terminating zero goes; a zero inside is not looked for.
            if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
            result = platform_.FromAnsi(bytes);
        } else if (type == kRegDword) {
            std::uint8_t data[4] = {};
            std::uint32_t got = length;
            if (length > sizeof data) return;
            if (platform_.RegQueryValueExA(key, name, &type, data, &got) != kErrorSuccess) return;
            const std::uint32_t n = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
            result = static_cast<std::int32_t>(n);
        }
    });
    if (open) platform_.RegCloseKey(key);
    return result;
}

void cProgramSettings::SetKeyValue(std::int32_t root, const std::wstring& keyPath, const std::wstring& valueName,
                                   const std::wstring& value, std::uint32_t valueType) {
    RegKey key = 0;
    report_.Trap(L"SetKeyValue", [&] {
        // A failed create leaves a null handle that the set simply fails on.
        platform_.RegCreateKeyExA(static_cast<std::uint32_t>(root), Ansi(keyPath), 0, kKeyAccess, &key);
        const std::string name = Ansi(valueName);
        if (valueType == kRegSz) {
            std::string data = Ansi(value);
            data.push_back('\0');
            platform_.RegSetValueExA(key, name, kRegSz, reinterpret_cast<const std::uint8_t*>(data.data()),
                                     static_cast<std::uint32_t>(data.size()));
        } else if (valueType == kRegDword) {
            const auto n = static_cast<std::uint32_t>(TextToLong(value));
            const std::uint8_t data[4] = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                          static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
            platform_.RegSetValueExA(key, name, kRegDword, data, 4);
        }
    });
    platform_.RegCloseKey(key);
}

}  // namespace roamwise
