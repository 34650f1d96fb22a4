// The machine's active IPv4 address, read from the adapter table; opens no
// connection.
#pragma once

#include <string>
#include <vector>

namespace roamwise {
namespace win32 {

// One adapter as the choice needs it: its first IPv4 address and its first
// default gateway, as dotted text (either may be empty or "0.0.0.0").
struct AdapterAddress {
    std::string ip;
    std::string gateway;
};

// The address of the first adapter that has a default gateway; else of the
// first adapter with an address that is neither 0.0.0.0 nor loopback;
// else "127.0.0.1", which the program reads as "not connected".
std::wstring PickLocalIP(const std::vector<AdapterAddress>& adapters);

// The adapters the system lists, in its order.
std::vector<AdapterAddress> ListAdapters();

// PickLocalIP over the system's adapters.
std::wstring LocalIP();

}  // namespace win32
}  // namespace roamwise
