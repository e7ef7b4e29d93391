#pragma once

#include <array>
#include <csignal>

namespace kestra::tool {

// While alive, every signal that would end the tool first removes the temporary file of the save
// in progress (where it has a name), then ends the tool as it would have, with the status a shell
// expects of it. A signal the tool was started with ignored (as under nohup) stays ignored.
class SaveSignalHandlers {
public:
    SaveSignalHandlers();
    ~SaveSignalHandlers();
    SaveSignalHandlers(const SaveSignalHandlers&) = delete;
    SaveSignalHandlers& operator=(const SaveSignalHandlers&) = delete;

private:
    // SIGXFSZ is ignored during the save; SIGKILL and SIGSTOP cannot be caught.
    static constexpr std::array handled{SIGHUP,  SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP,   SIGABRT,
                                        SIGBUS,  SIGFPE,  SIGUSR1,   SIGSEGV, SIGUSR2,   SIGPIPE,
                                        SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU, SIGVTALRM, SIGPROF,
                                        SIGPOLL, SIGPWR,  SIGSYS};
    std::array<struct sigaction, handled.size()> previous_{};
};

} // namespace kestra::tool
