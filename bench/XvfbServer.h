#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

// A virtual X server of its own on a free display number, for as long as this lives. The root
// window is black (-br), so a window that has drawn nothing yet shows as black.
class XvfbServer {
public:
    XvfbServer() {
        if (std::system("command -v Xvfb >/dev/null") != 0) {
            m_problem = "needs Xvfb (the xvfb package)";
            return;
        }
        int ends[2];
        if (pipe(ends) != 0) {
            m_problem = "cannot make a pipe for Xvfb";
            return;
        }
        const std::string fd = std::to_string(ends[1]);
        const char* argv[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                              "1920x1080x24", "-nolisten",  "tcp",      "-br",     nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, ends[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        // The server writes its display number once it accepts clients.
        std::string number;
        char digit = 0;
        while (m_pid > 0 && read(ends[0], &digit, 1) == 1 && digit != '\n')
            number.push_back(digit);
        close(ends[0]);
        if (number.empty())
            m_problem = "Xvfb did not start";
        else
            m_display = ":" + number;
    }
    ~XvfbServer() {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Empty when the server runs.
    const std::string& problem() const { return m_problem; }
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
    std::string m_problem;
};
