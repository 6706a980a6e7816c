// The tolvek program. Until the window and the screens exist, it only says
// where its data lives.
#include <cstdio>

#include "platform/base/FileManager.h"

int main() {
    std::printf("tolvek: data directory %s\n", base::paths::dataHome().c_str());
    return 0;
}
