#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include "app/FileChooser.h"
#include "player/PlayerHost.h"

namespace lumenreel {

// The desktop's file chooser, asked on a thread of its own so the window stays alive meanwhile:
// the desktop portal when the session bus has one, else the chooser program, and when neither
// answers, the answer says so (the window then offers its own list). A portal that fails hands
// over to the program, its problem carried along in the answer.
class DesktopChooser {
public:
    // answered is called on the chooser's thread once takeAnswer has an answer.
    DesktopChooser(std::optional<FileChooser> program, std::function<void()> answered);
    // An open chooser is closed first.
    ~DesktopChooser() = default;

    // False when there is nothing to ask: neither a session bus nor a chooser program.
    bool available() const;
    // Opens a chooser unless one is open; the answer comes through takeAnswer.
    void ask(FileChooser::Request request, std::string parentWindow);
    // On the UI thread, once told: the answer, after which the next ask opens a chooser again.
    std::optional<PlayerHost::ChooserAnswer> takeAnswer();

private:
    PlayerHost::ChooserAnswer answer(const FileChooser::Request& request,
                                     const std::string& parentWindow, std::stop_token stop) const;

    const std::optional<FileChooser> m_program;
    const std::function<void()> m_answered;
    // Guards m_answer and m_asking, which the UI thread and the chooser's thread share.
    std::mutex m_lock;
    std::optional<PlayerHost::ChooserAnswer> m_answer;
    bool m_asking = false;
    // Last: it is stopped and joined before what it uses goes.
    std::jthread m_worker;
};

}  // namespace lumenreel
