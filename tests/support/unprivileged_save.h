#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <sys/types.h>
#include <unistd.h>

namespace kestra::testing {

// The user and group "nobody" of Debian.
inline constexpr uid_t nobodyId = 65534;
inline constexpr gid_t nogroupId = 65534;

// Runs what follows in its scope as the user nobody when the tests run as root, for whom
// permission bits mean nothing; the `handedOver` files and folders are given to that user first,
// so that only their mode bits stand in the way. As any other user it changes nothing.
class UnprivilegedSave {
public:
    explicit UnprivilegedSave(std::initializer_list<std::filesystem::path> handedOver)
        : root_(geteuid() == 0) {
        if (!root_)
            return;
        for (const std::filesystem::path& path : handedOver)
            EXPECT_EQ(lchown(path.c_str(), nobodyId, nogroupId), 0) << path;
        EXPECT_EQ(seteuid(nobodyId), 0);
    }
    ~UnprivilegedSave() {
        if (root_) {
            EXPECT_EQ(seteuid(0), 0);
        }
    }
    UnprivilegedSave(const UnprivilegedSave&) = delete;
    UnprivilegedSave& operator=(const UnprivilegedSave&) = delete;

private:
    bool root_;
};

} // namespace kestra::testing
