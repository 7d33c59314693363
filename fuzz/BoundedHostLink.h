#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "twds/HostLink.h"

namespace twds::fuzz {

// Wraps a host link for a Display run by a fuzz target: checks that every
// page request has the form and length the Display command promises, and
// fails retrievals once `maxRequests` were made or `stop(kind)` says so, so
// that one input cannot run for long (a user space of 32767 files of 32767
// ZC entries each is valid, but not quick).
class BoundedHostLink final : public HostLink {
public:
    // stop(kind): whether to refuse the request for a page of this kind.
    BoundedHostLink(HostLink& inner, std::size_t maxRequests, std::function<bool(char kind)> stop);

    int32_t fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                      std::string& buffer2, int32_t& connection) override;
    int32_t fnDllParamRtvUserspace(std::string& userSpace, std::string& page) override;
    int32_t fnDllParamCloseMConnection(int32_t connection) override;
    int32_t fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                   int32_t length) override;

    // Starts counting again, for the next input.
    void reset();

    [[nodiscard]] std::size_t requests() const { return requests_; }
    // Whether a retrieval was refused by the bound rather than by the inner link.
    [[nodiscard]] bool bounded() const { return bounded_; }

private:
    HostLink& inner_;
    std::size_t maxRequests_;
    std::function<bool(char kind)> stop_;
    std::size_t requests_ = 0;
    bool bounded_ = false;
};

}  // namespace twds::fuzz
