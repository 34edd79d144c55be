#include "app/PlayerWindow.h"

namespace lumenreel {

void PlayerWindow::RightClick(Point point) {
    userActed();
    using Item = ContextMenu::Item;
    std::vector<Item> items;
    if (m_open)
        items.push_back({kMenuOpen, "Open\u2026", "F4"});
    const Size client = ClientSize();
    items.push_back({kMenuLoop, "Loop", "L", m_view.Transport().IsLoop()});
    items.push_back({kMenuFit, "Fit to window", "", m_view.IsFitChecked()});
    items.push_back({kMenuFullScreen, "Full screen", "F", m_view.IsFullScreen()});
    const float speed = m_speed->value();
    items.push_back({kMenuSlower, "Slower", "[", false});
    items.push_back({kMenuFaster, "Faster", "]", false});
    items.push_back({kMenuNormalSpeed, "Normal speed (now " + PlaybackSpeed::name(speed) + ")",
                     "Backspace", speed == 1.0f});
    items.push_back({kMenuAbout, "About", ""});
    m_menu.Open(std::move(items), point, {0, 0, client.width, client.height});
    m_menu.MouseMove(point);
    overlaysChanged();
}

void PlayerWindow::runMenuCommand(int command) {
    switch (command) {
        case kMenuOpen:
            if (m_open)
                m_open();
            break;
        case kMenuLoop:
            KeyDown(CZCPlayerView::Key::Loop);
            break;
        case kMenuFit:
            m_view.SetFitChecked(!m_view.IsFitChecked());
            break;
        case kMenuFullScreen:
            m_view.ToggleFullScreen();
            break;
        case kMenuSlower:
            KeyDown(CZCPlayerView::Key::Slower);
            break;
        case kMenuFaster:
            KeyDown(CZCPlayerView::Key::Faster);
            break;
        case kMenuNormalSpeed:
            KeyDown(CZCPlayerView::Key::NormalSpeed);
            break;
        case kMenuAbout:
            SetMessage({"Lumenreel player " LUMENREEL_VERSION,
                        "Plays published demos (.zcd) and authoring documents (.zcs).",
                        "Press ? for the keys."},
                       true);
            break;
        default:
            break;
    }
}

}  // namespace lumenreel
