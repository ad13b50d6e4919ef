// A scratch folder for tests of the file calls: a fresh host directory,
// mapped to a drive letter of the simulated target, removed at the end.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/host/control/files.h"

namespace test_support {

class ScratchFolder {
public:
    explicit ScratchFolder(char drive = 'T') : drive_(drive)
    {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("vt-files-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(root_);
        EXPECT_TRUE(vtsim::MapDrive(drive_, root_.string()));
    }
    ~ScratchFolder()
    {
        vtsim::UnmapDrive(drive_);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The host path of a relative name ("sub/a.reg").
    std::filesystem::path HostPath(const std::string& relative) const
    {
        return root_ / relative;
    }

    // The target's name of a relative name: "T:\sub\a.reg".
    std::u16string TargetPath(const std::string& relative) const
    {
        std::u16string path{static_cast<char16_t>(drive_), u':', u'\\'};
        for (char c : relative) {
            path.push_back(c == '/' ? u'\\' : static_cast<char16_t>(c));
        }
        return path;
    }

    void Write(const std::string& relative, const std::string& bytes) const
    {
        std::filesystem::create_directories(HostPath(relative).parent_path());
        std::ofstream out(HostPath(relative), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::string Read(const std::string& relative) const
    {
        std::ifstream in(HostPath(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    char drive_;
    std::filesystem::path root_;
};

}  // namespace test_support
