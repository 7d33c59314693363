#include "UnavailableHostLink.h"

#include <algorithm>

namespace twds {

UnavailableHostLink::UnavailableHostLink(std::string reason) : reason_(std::move(reason)) {}

int32_t UnavailableHostLink::fnDllParamOpenMConnection(std::string& /*machine*/,
                                                       std::string& /*buffer1*/,
                                                       std::string& /*buffer2*/,
                                                       int32_t& /*connection*/) {
    return 0;
}

int32_t UnavailableHostLink::fnDllParamRtvUserspace(std::string& /*userSpace*/,
                                                    std::string& /*page*/) {
    return 0;
}

int32_t UnavailableHostLink::fnDllParamCloseMConnection(int32_t /*connection*/) {
    return 0;
}

int32_t UnavailableHostLink::fnDllParamGetLastError(int32_t& /*code1*/, int32_t& /*code2*/,
                                                    std::string& text, int32_t /*length*/) {
    // The buffer keeps its length: the reason is cut to fit, and ends with a
    // NUL when shorter.
    const std::size_t copied = std::min(reason_.size(), text.size());
    std::copy_n(reason_.begin(), copied, text.begin());
    if (copied < text.size()) {
        text[copied] = '\0';
    }
    return 1;
}

}  // namespace twds
