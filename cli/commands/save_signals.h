#pragma once

#include <array>
#include <csignal>

namespace kestra::tool {

// While alive, SIGINT and SIGTERM first remove the temporary file of the save in progress, then
// end the tool as they would have, with the status a shell expects of them. A signal the tool
// was started with ignored (as under nohup) stays ignored.
class SaveSignalHandlers {
public:
    SaveSignalHandlers();
    ~SaveSignalHandlers();
    SaveSignalHandlers(const SaveSignalHandlers&) = delete;
    SaveSignalHandlers& operator=(const SaveSignalHandlers&) = delete;

private:
    static constexpr std::array<int, 2> handled{SIGINT, SIGTERM};
    std::array<struct sigaction, handled.size()> previous_{};
};

} // namespace kestra::tool
