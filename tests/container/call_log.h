// The list of calls a control made into the test container, shared by the site and the frame.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace tc {

class CallLog {
public:
    // TEST_CONTAINER_TRACE=1 in the environment also prints every call as it happens,
    // which helps when a control hangs half way through activation.
    CallLog() : trace_(std::getenv("TEST_CONTAINER_TRACE") != nullptr) {}

    void Add(std::string call) {
        if (trace_) std::fprintf(stderr, "[container] %s\n", call.c_str());
        calls_.push_back(std::move(call));
    }
    const std::vector<std::string>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

private:
    bool trace_;
    std::vector<std::string> calls_;
};

}  // namespace tc
