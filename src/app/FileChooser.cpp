#include "app/FileChooser.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace lumenreel {

std::optional<std::filesystem::path> findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path)
        return std::nullopt;
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty())
            continue;
        std::filesystem::path candidate = std::filesystem::path(folder) / program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

std::optional<FileChooser> FileChooser::find() {
    if (auto zenity = findOnPath("zenity"))
        return FileChooser(Kind::zenity, *zenity);
    if (auto kdialog = findOnPath("kdialog"))
        return FileChooser(Kind::kdialog, *kdialog);
    return std::nullopt;
}

std::vector<std::string> FileChooser::arguments(const Request& request) const {
    if (m_kind == Kind::zenity)
        return {m_program.string(), "--file-selection", "--title=" + request.title,
                "--file-filter=" + request.description + " | " + request.pattern,
                "--file-filter=All files | *"};
    return {m_program.string(),  "--title", request.title,
            "--getopenfilename", ".",       request.pattern + "|" + request.description};
}

std::optional<std::filesystem::path> FileChooser::choose(const Request& request) const {
    std::vector<std::string> args = arguments(request);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    std::string output;
    if (spawned == 0) {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
            if (got > 0)
                output.append(buffer, static_cast<std::size_t>(got));
            else if (got < 0 && errno == EINTR)
                continue;
            else
                break;
        }
    }
    ::close(pipeEnds[0]);
    if (spawned != 0)
        return std::nullopt;
    int status = 0;
    ::waitpid(child, &status, 0);
    // Both choosers answer a cancel with a non-zero status.
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    if (output.empty())
        return std::nullopt;
    return std::filesystem::path(output);
}

}  // namespace lumenreel
