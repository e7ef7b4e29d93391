#include "io/temporary_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "io/save_target.h"

namespace kestra {

namespace {

// The file being filled, as removeSaveInProgress sees it. A signal may come at any moment, so
// these change only while signals are held, never half-way for a handler to read.
char pathInProgress[PATH_MAX];
volatile std::sig_atomic_t saveInProgress = 0;

// Holds back every signal while alive; they arrive when it goes.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t all;
        ::sigfillset(&all);
        ::sigprocmask(SIG_BLOCK, &all, &previous_);
    }
    ~SignalsHeld() {
        const int error = errno;
        ::sigprocmask(SIG_SETMASK, &previous_, nullptr);
        errno = error;
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_{};
};

} // namespace

bool TemporaryFile::create(const std::string& target, FileError& error) {
    const std::filesystem::path path(target);
    // Cut so that the name is no longer than the target's: the ".", ".XXXXXX" take 8 bytes.
    std::string pattern =
        (folderOf(path) / ("." + path.filename().string().substr(0, NAME_MAX - 8) + ".XXXXXX"))
            .string();
    constexpr const char* cannotCreate = "cannot create a file in the target's folder";
    if (pattern.size() >= sizeof pathInProgress) {
        errno = ENAMETOOLONG;
        return failWithReason(error, cannotCreate);
    }
    // Held from before the file exists until it is recorded, so that no signal can end the
    // process while the file is there but unknown to removeSaveInProgress.
    const SignalsHeld held;
    file_.reset(::mkostemp(pattern.data(), O_CLOEXEC));
    if (file_.get() < 0)
        return failWithReason(error, cannotCreate);
    path_ = pattern;
    std::memcpy(pathInProgress, pattern.c_str(), pattern.size() + 1);
    saveInProgress = 1;
    return true;
}

bool TemporaryFile::renameOver(const std::string& target, FileError& error) {
    const SignalsHeld held;
    if (::rename(path_.c_str(), target.c_str()) != 0)
        return failWithReason(error, "cannot replace the target");
    path_.clear();
    saveInProgress = 0;
    return true;
}

void TemporaryFile::discard() {
    file_.close();
    if (path_.empty())
        return;
    const SignalsHeld held;
    ::unlink(path_.c_str());
    path_.clear();
    saveInProgress = 0;
}

void removeSaveInProgress() {
    if (saveInProgress)
        ::unlink(pathInProgress);
}

} // namespace kestra
