#include "core/session/session.h"

namespace tarnwick {

void Session::SetStatusNotice(std::string text) {
    StatusNotice = std::move(text);
    platform.StatusChanged();
}

void Session::ShowProgressText(std::string text) {
    ProgressText = std::move(text);
    platform.StatusChanged();
}

void Session::ShowPage(Page page) {
    PageAreaVisible = true;
    FrontPage = page;
}

}  // namespace tarnwick
