#pragma once
// Runs a cantorel-cli command in-process with its output captured, in a scratch folder of
// lyric and list files that is removed afterwards.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "cli/commands.hpp"
#include "platform/files.hpp"

struct CommandRun {
    int code;
    std::string out;
    std::string err;
};

/// Runs `command` on `args`; line ends are compared without the CR a Windows console adds.
inline CommandRun runCommand(int (*command)(const cli::Args&), const cli::Args& args) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int code = command(args);
    std::fflush(stdout);
    std::fflush(stderr);
    CommandRun run{code, testing::internal::GetCapturedStdout(),
                   testing::internal::GetCapturedStderr()};
    std::erase(run.out, '\r');
    return run;
}

class CommandFolderTest : public ::testing::Test {
  protected:
    CommandFolderTest() {
        std::random_device random;
        folder_ =
            std::filesystem::temp_directory_path() / ("cantorel-cli-" + std::to_string(random()));
        std::filesystem::create_directories(folder_);
    }
    ~CommandFolderTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    void write(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(files::writeAtomically(path(name), bytes));
    }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

  private:
    std::filesystem::path folder_;
};
