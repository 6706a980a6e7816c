#include "training/AppState.h"

#include "platform/ui/NavigationController.h"

namespace {
std::function<std::shared_ptr<AppState>()>& source() {
    static std::function<std::shared_ptr<AppState>()> s;
    return s;
}

std::string& storeFailureNote() {
    static std::string note;
    return note;
}
}  // namespace

std::shared_ptr<AppState> AppState::current() { return source() ? source()() : nullptr; }

void AppState::setCurrentSource(std::function<std::shared_ptr<AppState>()> s) { source() = std::move(s); }

StoreFailureNote::StoreFailureNote(std::string note) : previous_(std::move(storeFailureNote())) {
    storeFailureNote() = std::move(note);
}

StoreFailureNote::~StoreFailureNote() { storeFailureNote() = std::move(previous_); }

const std::string& StoreFailureNote::current() { return storeFailureNote(); }
