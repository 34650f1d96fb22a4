// What a profile sets, in words: a line per adapter for the list, and the
// profile beside the settings in force now for a read-only window.
#pragma once

#include <string>
#include <vector>

#include "interface_dump.h"

namespace roamwise {

// At most this many characters in a summary line, "\u2026" where cut.
constexpr std::size_t kMaxSummaryLength = 120;

// "Local Area Connection: 10.1.1.20/24, gateway 10.1.1.1, DNS 10.1.1.2" or
// "Wi-Fi: DHCP"; none for an adapter with nothing to show.
std::vector<std::wstring> SummaryLines(const std::vector<AdapterSettings>& adapters);

// Both lists as ReadInterfaceDump gives them: every adapter says something.
// Per adapter the profile sets, in its order, each setting it mentions beside
// the one in force now, lines that differ marked "* "; then the adapters it
// leaves alone. Lines joined by "\r\n".
std::wstring CompareSettings(const std::wstring& profileName, const std::vector<AdapterSettings>& profile,
                             const std::vector<AdapterSettings>& current);

}  // namespace roamwise
