#include "screens/RegisterScreens.h"

#include "charts/CHTTheme.h"
#include "platform/base/ClassRegistry.h"
#include "platform/ui/ViewController.h"
#include "screens/ConfigurationTableViewController.h"
#include "screens/HintTipsViewController.h"
#include "screens/LogGraphViewController.h"
#include "screens/ProgramTableViewController.h"
#include "training/RootViewController.h"

// One registration line per screen, keyed by the names the home screen
// looks up (training/RootViewController.h), and the chart themes the
// chart page asks for by name.
void registerScreens() {
    CHTTheme::registerThemes();
    [[maybe_unused]] auto& screens = base::ClassRegistry<ui::ViewController>::shared();
    screens.registerClass<LogGraphViewController>(kLogGraphScreen);
    screens.registerClass<ConfigurationTableViewController>(kConfigurationScreen);
    screens.registerClass<HintTipsViewController>(kHintTipsScreen);
    screens.registerClass<ProgramTableViewController>(kProgramTableScreen);
}
