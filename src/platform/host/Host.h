#pragma once
// What both hosts share: how the program's application delegate is made,
// and which URLs the desktop can hand to another program.
#include <functional>
#include <memory>
#include <string>

namespace ui {
class ApplicationDelegate;
}

namespace host {

// Makes the application's delegate for one run. The program's entry picks
// the factory; each host calls it once, after the toolkit is set up.
using DelegateFactory = std::function<std::shared_ptr<ui::ApplicationDelegate>()>;

// True for the URLs a desktop can open in another program (a web browser or
// a mail program): http, https and mailto. Other schemes name phone
// applications that the desktop does not have.
bool isDesktopURL(const std::string& url);

}  // namespace host
