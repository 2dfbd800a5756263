#pragma once
// Runs a cantorel-cli command in-process with its output captured, in a scratch folder of
// lyric and list files that is removed afterwards.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/commands.hpp"
#include "tests/support/temp_folder.hpp"

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
    void write(const std::string& name, const std::string& bytes) { folder_.write(name, bytes); }
    std::string path(const std::string& name) const { return (folder_ / name.c_str()).string(); }

  private:
    TempFolder folder_{"cantorel-cli"};
};
