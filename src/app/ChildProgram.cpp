#include "app/ChildProgram.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace lumenreel {
namespace {

std::string readAll(int fd) {
    std::string output;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0)
            output.append(buffer, static_cast<std::size_t>(got));
        else if (got < 0 && errno == EINTR)
            continue;
        else
            return output;
    }
}

}  // namespace

std::optional<std::string> runForOutput(std::vector<std::string> args, std::stop_token stop) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (args.empty() || stop.stop_requested() || ::pipe(pipeEnds) != 0)
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
        // Until it is waited for below, the child's number stays its own, even once it ended.
        std::stop_callback end(stop, [child] { ::kill(child, SIGTERM); });
        output = readAll(pipeEnds[0]);
    }
    ::close(pipeEnds[0]);
    if (spawned != 0)
        return std::nullopt;
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return output;
}

}  // namespace lumenreel
