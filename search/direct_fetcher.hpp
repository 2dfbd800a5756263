#pragma once
// A WebFetcher that fetches at once on the caller's thread and calls `done` before start()
// returns. For the command line, where nothing else waits on the thread.

#include "platform/web_fetch.hpp"

class DirectWebFetcher : public WebFetcher {
  public:
    explicit DirectWebFetcher(HttpClient& client) : client_(client) {}
    void start(FetchRequest request, Done done) override { done(client_.fetch(request)); }
    void cancelAll() override {}

  private:
    HttpClient& client_;
};
