#pragma once
// A WebFetcher for tests: every request is recorded and stays pending until the test answers it,
// so the order in which answers arrive is the test's to choose.

#include <string>
#include <vector>

#include "platform/web_fetch.hpp"

class FakeWebFetcher : public WebFetcher {
  public:
    void start(FetchRequest request, Done done) override {
        requests_.push_back(request);
        pending_.push_back(std::move(done));
    }
    void cancelAll() override { pending_.assign(pending_.size(), nullptr); }

    const std::vector<FetchRequest>& requests() const { return requests_; }
    /// Answers request `index` (in start order) once.
    void answer(std::size_t index, FetchOutcome outcome) {
        Done done = std::move(pending_.at(index));
        pending_[index] = nullptr;
        if (done) done(std::move(outcome));
    }
    /// Answers the latest request.
    void answerLast(FetchOutcome outcome) { answer(pending_.size() - 1, std::move(outcome)); }

    static FetchOutcome ok(std::string body) { return {std::move(body), 200, FetchFailure::None}; }
    static FetchOutcome failed(FetchFailure why) { return {"", 0, why}; }

  private:
    std::vector<FetchRequest> requests_;
    std::vector<Done> pending_;
};
