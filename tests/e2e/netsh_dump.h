// What the netsh double prints for "netsh -c interface dump" when the
// machine has the given address; the tests compare saved profiles with it.
#pragma once

#include <sstream>
#include <string>

inline std::string NetshDump(const std::string& address) {
    std::ostringstream out;
    out << "\r\n\r\n"
           "#========================\r\n"
           "# Interface configuration\r\n"
           "#========================\r\n"
           "pushd interface \r\n\r\n"
           "reset all\r\n\r\n\r\n"
           "popd\r\n"
           "# End of interface configuration\r\n\r\n\r\n\r\n"
           "#========================\r\n"
           "# Interface configuration\r\n"
           "#========================\r\n"
           "pushd interface ip\r\n\r\n\r\n"
           "# Interface IP Configuration for \"Local Area Connection\"\r\n\r\n"
           "set address name=\"Local Area Connection\" source=static addr="
        << address
        << " mask=255.255.255.0\r\n"
           "set address name=\"Local Area Connection\" gateway=192.0.2.1 gwmetric=0\r\n"
           "set dns name=\"Local Area Connection\" source=static addr=192.0.2.53 register=PRIMARY\r\n"
           "set wins name=\"Local Area Connection\" source=static addr=none\r\n\r\n\r\n"
           "popd\r\n"
           "# End of interface configuration\r\n\r\n\r\n\r\n";
    return out.str();
}
