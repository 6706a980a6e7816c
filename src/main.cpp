// The tolvek program: the window, or with --headless a script run without
// one (see platform/host/Main.h for the options).
#include "platform/host/DemoDelegate.h"
#include "platform/host/Main.h"

int main(int argc, char** argv) {
    // The demonstration screen stands in for the application's own delegate
    // until the training screens are ready; replacing this factory is all it
    // takes to run them.
    return host::runMain(argc, argv, host::demoDelegateFactory());
}
