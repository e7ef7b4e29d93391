#include "io/temporary_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/random.h>
#include <unistd.h>

namespace kestra {

namespace {

constexpr mode_t temporaryMode = 0600;
constexpr char namePrefix[] = ".kestra-";
constexpr std::size_t randomLetters = 10;
// Names taken by other files are skipped; this many in a row means something else is wrong.
constexpr int attempts = 100;

// The named file being filled, as removeSaveInProgress sees it. A signal may come at any moment,
// so these change only while signals are held, never half-way for a handler to read.
char nameInProgress[sizeof namePrefix + randomLetters];
volatile std::sig_atomic_t folderInProgress = -1;

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

// ".kestra-" and random letters and digits.
bool randomName(std::string& name) {
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[randomLetters];
    if (::getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes))
        return false;
    name = namePrefix;
    for (const unsigned char byte : bytes)
        name += letters[byte % (sizeof letters - 1)];
    return true;
}

void record(int folder, const std::string& name) {
    std::memcpy(nameInProgress, name.c_str(), name.size() + 1);
    folderInProgress = folder;
}

// Whether O_TMPFILE failed because this file system or kernel does not offer it.
bool unnamedFilesUnsupported(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

} // namespace

bool TemporaryFile::create(int folder) {
    folder_ = folder;
    file_.reset(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, temporaryMode));
    if (file_.get() >= 0 || !unnamedFilesUnsupported(errno))
        return file_.get() >= 0;
    return takeRandomName([&](const char* name) {
        file_.reset(::openat(folder, name, O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC,
                             temporaryMode));
        return file_.get() >= 0;
    });
}

// Links the unnamed file into the folder. /proc/self/fd names it without the privilege that
// linkat's AT_EMPTY_PATH needs; without /proc mounted, that is tried too.
bool TemporaryFile::giveName() {
    const std::string self = "/proc/self/fd/" + std::to_string(file_.get());
    return takeRandomName([&](const char* name) {
        if (::linkat(AT_FDCWD, self.c_str(), folder_, name, AT_SYMLINK_FOLLOW) == 0)
            return true;
        return errno == ENOENT && ::linkat(file_.get(), "", folder_, name, AT_EMPTY_PATH) == 0;
    });
}

// Gives the file a short random name through `make`, which makes or links it under the name
// given, skipping names already taken. Signals are held from before the name exists until it is
// recorded, so that no signal can end the process while the name is there but unknown to
// removeSaveInProgress.
bool TemporaryFile::takeRandomName(const std::function<bool(const char* name)>& make) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        std::string name;
        if (!randomName(name))
            return false;
        const SignalsHeld held;
        if (make(name.c_str())) {
            name_ = name;
            record(folder_, name_);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool TemporaryFile::closeAndRenameOver(const std::string& name, bool& closeFailed) {
    // Held from the moment the file has a name until it is the target, so that only SIGKILL
    // can leave the name behind, and only for this moment.
    const SignalsHeld held;
    if (name_.empty() && !giveName())
        return false;
    closeFailed = !file_.close();
    if (closeFailed || ::renameat(folder_, name_.c_str(), folder_, name.c_str()) != 0)
        return false;
    name_.clear();
    folderInProgress = -1;
    return true;
}

void TemporaryFile::discard() {
    file_.close();
    if (name_.empty())
        return;
    const SignalsHeld held;
    ::unlinkat(folder_, name_.c_str(), 0);
    name_.clear();
    folderInProgress = -1;
}

void removeSaveInProgress() {
    if (folderInProgress >= 0)
        ::unlinkat(folderInProgress, nameInProgress, 0);
}

} // namespace kestra
