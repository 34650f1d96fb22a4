// The machine's active IPv4 address, read from the adapter table; opens no
// connection.
#pragma once

#include <string>

namespace roamwise {
namespace win32 {

// The address of the first adapter that has a default gateway; else of the
// first adapter with an address that is neither 0.0.0.0 nor loopback;
// else "127.0.0.1", which the program reads as "not connected".
std::wstring ActiveAddress();

}  // namespace win32
}  // namespace roamwise
