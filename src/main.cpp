// The tolvek program: the window, or with --headless a script run without
// one (see platform/host/Main.h for the options), with the training
// application's delegate.
#include <memory>

#include "charts/CHTTheme.h"
#include "platform/host/Main.h"
#include "screens/RegisterScreens.h"
#include "training/TolvekAppDelegate.h"

int main(int argc, char** argv) {
    // Chart themes are looked up by name (the progress chart asks for one).
    CHTTheme::registerThemes();
    registerScreens();
    return host::runMain(argc, argv, [] { return std::make_shared<TolvekAppDelegate>(); });
}
