#include "commands/save_signals.h"

#include "io/temporary_file.h"

namespace kestra::tool {

namespace {

extern "C" void endInterruptedSave(int signal) {
    removeSaveInProgress();
    // SA_RESETHAND has put back the default action; the signal, held until this handler
    // returns, then ends the process as it would have without the handler.
    ::raise(signal);
}

} // namespace

SaveSignalHandlers::SaveSignalHandlers() {
    for (std::size_t i = 0; i < handled.size(); ++i) {
        struct sigaction handler {};
        handler.sa_handler = endInterruptedSave;
        handler.sa_flags = SA_RESETHAND;
        ::sigaction(handled[i], nullptr, &previous_[i]);
        if (previous_[i].sa_handler != SIG_IGN)
            ::sigaction(handled[i], &handler, nullptr);
    }
}

SaveSignalHandlers::~SaveSignalHandlers() {
    for (std::size_t i = 0; i < handled.size(); ++i)
        ::sigaction(handled[i], &previous_[i], nullptr);
}

} // namespace kestra::tool
