#pragma once
// The sub-commands of cantorel-cli. Each takes the arguments after its own name, prints to
// stdout/stderr in UTF-8 and returns the process exit code.

#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

int runParse(const Args& args);
int runPlay(const Args& args);
int runSearch(const Args& args);
int runDownload(const Args& args);
int runFollow(const Args& args);
int runSessions(const Args& args);

}  // namespace cli
