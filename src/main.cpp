// The tolvek program: the window, or with --headless a script run without
// one (see platform/host/Main.h for the options), with the training
// application's delegate.
#include <memory>

#include "platform/host/Main.h"
#include "screens/RegisterScreens.h"
#include "training/TolvekAppDelegate.h"

int main(int argc, char** argv) {
    registerScreens();
    return host::runMain(argc, argv, [] { return std::make_shared<TolvekAppDelegate>(); });
}
