// The tolvek program: the window, or with --headless a script run without
// one (see platform/host/Main.h for the options), with the training
// application's delegate. Its URL scheme lets a browser hand it a login's
// answer ("tolvek URL").
#include <memory>

#include "charts/CHTTheme.h"
#include "platform/host/Main.h"
#include "screens/RegisterScreens.h"
#include "training/TolvekAppDelegate.h"

int main(int argc, char** argv) {
    // Chart themes are looked up by name (the progress chart asks for one).
    CHTTheme::registerThemes();
    registerScreens();
    host::ProgramInfo info;
    info.urlScheme = TolvekAppDelegate::ownURLScheme();
    return host::runMain(
        argc, argv, [] { return std::make_shared<TolvekAppDelegate>(); }, info);
}
