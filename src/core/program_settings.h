// cProgramSettings: named text values under one registry key, opened and
// closed on every call.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "error_report.h"
#include "platform.h"

namespace roamwise {

// What GetKeyValue finds: nothing, a text, or a 32-bit number.
using KeyValue = std::variant<std::monostate, std::wstring, std::int32_t>;

class cProgramSettings {
public:
    cProgramSettings(Platform& platform, ErrorReport& report);

    // Write-only properties.
    void MainBranch(const std::wstring& strValue) { mainBranch_ = strValue; }
    void Program(const std::wstring& strValue) { program_ = strValue; }
    void RegBase(const std::wstring& strValue) { regBase_ = strValue; }
    void RootKey(std::int32_t eValue) { rootKey_ = eValue; }
    void Section(const std::wstring& strValue) { section_ = strValue; }

    std::wstring ReadEntry(const std::wstring& strEntry, const std::wstring& strDefault);
    void WriteEntry(const std::wstring& strEntry, const std::wstring& strValue);

    // The key path as the properties make it.
    std::wstring KeyPath() const;

    // The program's own configuration: HKLM\SOFTWARE\Quillfern\Roamwise\Settings.
    void ConfigureForRoamwise();

private:
    KeyValue GetKeyValue(std::int32_t root, const std::wstring& keyPath, const std::wstring& valueName);
    void SetKeyValue(std::int32_t root, const std::wstring& keyPath, const std::wstring& valueName,
                     const std::wstring& value, std::uint32_t valueType);
    std::string Ansi(const std::wstring& text);

    Platform& platform_;
    ErrorReport& report_;
    std::int32_t rootKey_;
    std::wstring mainBranch_;
    std::wstring regBase_;
    std::wstring program_;
    std::wstring section_;
};

}  // namespace roamwise
