#pragma once
// The local lyric site (tools/lyric-site) in a process of its own for one test suite: started on
// a free port of 127.0.0.1, stopped when the object goes. Its slow answers stall for 5 seconds,
// longer than the short limits the tests set.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

class LyricSiteProcess {
  public:
    LyricSiteProcess() {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            ::execl(CANTOREL_LYRIC_SITE_EXE, "lyric-site", "--lifetime", "300", "--stall", "5",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        // The first line is the port.
        std::string port;
        char c = 0;
        while (::read(out[0], &c, 1) == 1 && c != '\n') port.push_back(c);
        ::close(out[0]);
        if (!port.empty()) base_ = "http://127.0.0.1:" + port;
    }
    ~LyricSiteProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    LyricSiteProcess(const LyricSiteProcess&) = delete;
    LyricSiteProcess& operator=(const LyricSiteProcess&) = delete;

    /// http://127.0.0.1:PORT, or empty when the site did not start.
    const std::string& base() const { return base_; }

  private:
    pid_t pid_ = -1;
    std::string base_;
};

/// A suite that talks to one lyric site, started before its first test and stopped after its
/// last.
class LyricSiteSuite : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { site_ = new LyricSiteProcess; }
    static void TearDownTestSuite() {
        delete site_;
        site_ = nullptr;
    }
    void SetUp() override { ASSERT_FALSE(site_->base().empty()) << "lyric-site did not start"; }

    static inline LyricSiteProcess* site_ = nullptr;
};
