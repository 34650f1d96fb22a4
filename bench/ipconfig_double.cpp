// Stands in for ipconfig during the start-up benchmark: prints a short,
// plausible report and exits at once, so that the measure is the program's
// own start-up and not the system tool's.
#include <cstdio>

int main() {
    std::fputs("\r\nWindows IP Configuration\r\n\r\n"
               "   Host Name . . . . . . . . . . . . : bench\r\n\r\n"
               "Ethernet adapter Local Area Connection:\r\n\r\n"
               "   IP Address. . . . . . . . . . . . : 192.0.2.5\r\n"
               "   Subnet Mask . . . . . . . . . . . : 255.255.255.0\r\n",
               stdout);
    return 0;
}
