// A test fixture with a folder of its own under the system's temporary folder, made
// empty for each test and removed after it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class FolderTest : public testing::Test {
public:
    explicit FolderTest(const std::string& name)
        : folder(std::filesystem::temp_directory_path() / ("ondrava_" + name + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    ~FolderTest() override { std::filesystem::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};
