// The tolvek program. Until the window and the screens exist, it only says
// where its data lives.
#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::string data = xdg && *xdg ? std::string(xdg) + "/tolvek" : std::string(home ? home : ".") + "/.local/share/tolvek";
    std::printf("tolvek: data directory %s\n", data.c_str());
    return 0;
}
