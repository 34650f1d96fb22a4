#include "local_address.h"

#include <windows.h>
#include <iphlpapi.h>

#include <vector>

#include "system_library.h"

namespace roamwise {
namespace win32 {

namespace {

// One adapter as the choice needs it: its first IPv4 address and its first
// default gateway, as dotted text (either may be empty or "0.0.0.0").
struct AdapterAddress {
    std::string ip;
    std::string gateway;
};

bool IsUnset(const std::string& address) { return address.empty() || address == "0.0.0.0"; }

bool IsLoopback(const std::string& address) { return address.compare(0, 4, "127.") == 0; }

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The adapters the system lists, in its order. GetAdaptersInfo (not
// GetAdaptersAddresses) exists on Windows 2000; iphlpapi is loaded from the
// system folder rather than imported, so no planted copy can stand in.
std::vector<AdapterAddress> ListAdapters() {
    std::vector<AdapterAddress> adapters;
    static const Library iphlpapi = LoadSystemLibrary(L"iphlpapi.dll");  // loaded once, when first asked
    auto getAdaptersInfo = ExportOf<decltype(&GetAdaptersInfo)>(iphlpapi.get(), "GetAdaptersInfo");
    if (!getAdaptersInfo) return adapters;
    // The table can grow between two calls: retry.
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    DWORD result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 5 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.assign(size, 0);
        result = getAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    if (result != ERROR_SUCCESS) return adapters;  // ERROR_NO_DATA: no adapters at all
    for (auto* info = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); info != nullptr; info = info->Next)
        adapters.push_back({info->IpAddressList.IpAddress.String, info->GatewayList.IpAddress.String});
    return adapters;
}

std::wstring PickActiveAddress(const std::vector<AdapterAddress>& adapters) {
    for (const auto& adapter : adapters) {
        if (!IsUnset(adapter.gateway) && !IsUnset(adapter.ip)) return Widen(adapter.ip);
    }
    for (const auto& adapter : adapters) {
        if (!IsUnset(adapter.ip) && !IsLoopback(adapter.ip)) return Widen(adapter.ip);
    }
    return L"127.0.0.1";
}

}  // namespace

std::wstring ActiveAddress() { return PickActiveAddress(ListAdapters()); }

}  // namespace win32
}  // namespace roamwise
