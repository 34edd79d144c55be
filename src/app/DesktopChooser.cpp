#include "app/DesktopChooser.h"

#include <utility>

#include "app/PortalFileChooser.h"

namespace lumenreel {

using Outcome = PlayerHost::ChooserAnswer::Outcome;

DesktopChooser::DesktopChooser(std::optional<FileChooser> program, std::function<void()> answered)
    : m_program(std::move(program)), m_answered(std::move(answered)) {}

bool DesktopChooser::available() const {
    return m_program || sessionBusAddress();
}

void DesktopChooser::ask(FileChooser::Request request, std::string parentWindow) {
    {
        std::lock_guard lock(m_lock);
        if (m_asking)
            return;
        m_asking = true;
    }
    // The thread before has handed its answer over, so it has ended or is about to.
    m_worker = std::jthread([this, request = std::move(request),
                             parentWindow = std::move(parentWindow)](std::stop_token stop) {
        PlayerHost::ChooserAnswer chosen = answer(request, parentWindow, stop);
        {
            std::lock_guard lock(m_lock);
            m_answer = std::move(chosen);
        }
        m_answered();
    });
}

std::optional<PlayerHost::ChooserAnswer> DesktopChooser::takeAnswer() {
    std::lock_guard lock(m_lock);
    std::optional<PlayerHost::ChooserAnswer> answer = std::exchange(m_answer, std::nullopt);
    if (answer)
        m_asking = false;
    return answer;
}

PlayerHost::ChooserAnswer DesktopChooser::answer(const FileChooser::Request& request,
                                                 const std::string& parentWindow,
                                                 std::stop_token stop) const {
    PlayerHost::ChooserAnswer answer;
    PortalAnswer portal = chooseThroughPortal(request, parentWindow, stop);
    if (portal.outcome == PortalAnswer::Outcome::chosen)
        return {Outcome::chosen, std::move(portal.file), {}};
    if (portal.outcome == PortalAnswer::Outcome::cancelled)
        return {Outcome::cancelled, {}, {}};
    if (portal.outcome == PortalAnswer::Outcome::failed)
        answer.problems.push_back(std::move(portal.problem));
    if (!m_program || stop.stop_requested()) {
        answer.outcome = Outcome::noChooser;
        return answer;
    }
    std::optional<std::filesystem::path> file = m_program->choose(request, stop);
    answer.outcome = file ? Outcome::chosen : Outcome::cancelled;
    answer.file = file.value_or(std::filesystem::path());
    return answer;
}

}  // namespace lumenreel
