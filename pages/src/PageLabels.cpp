#include "twds/PageLabels.h"

#include <optional>
#include <utility>
#include <vector>

namespace twds {

namespace {
constexpr int kLastCatalogueId = 10000;
}

struct PageLabels::Cache {
    // One slot per catalogue id, filled on the first lookup of that id.
    std::vector<std::optional<std::string>> texts =
        std::vector<std::optional<std::string>>(kLastCatalogueId + 1);
    const std::string none;
};

PageLabels::PageLabels(Lookup lookup)
    : lookup_(std::move(lookup)), cache_(std::make_unique<Cache>()) {}

PageLabels::~PageLabels() = default;

const std::string& PageLabels::operator()(int id) const {
    if (id < 0 || id > kLastCatalogueId) {
        return cache_->none;
    }
    std::optional<std::string>& text = cache_->texts[static_cast<std::size_t>(id)];
    if (!text) {
        text = lookup_ ? lookup_(id) : std::string();
    }
    return *text;
}

}  // namespace twds
