#pragma once

#include <string>

#include "twds/HostLink.h"

namespace twds {

// Stands in for a host link that could not be started, so that the window
// still opens: every connection and retrieval fails, and the last error is
// the reason the real one could not be started.
class UnavailableHostLink final : public HostLink {
public:
    explicit UnavailableHostLink(std::string reason);

    int32_t fnDllParamOpenMConnection(std::string& machine, std::string& buffer1,
                                      std::string& buffer2, int32_t& connection) override;
    int32_t fnDllParamRtvUserspace(std::string& userSpace, std::string& page) override;
    int32_t fnDllParamCloseMConnection(int32_t connection) override;
    int32_t fnDllParamGetLastError(int32_t& code1, int32_t& code2, std::string& text,
                                   int32_t length) override;

private:
    std::string reason_;
};

}  // namespace twds
