#pragma once

#include <functional>
#include <memory>
#include <string>

namespace twds {

// The catalogue texts that label the page rows. The catalogue does not change
// once loaded, so each id is looked up once and then served from a table.
class PageLabels {
public:
    // lookup(id) returns the catalogue text of id with every placeholder
    // empty, or "" when the catalogue has none.
    using Lookup = std::function<std::string(int id)>;

    explicit PageLabels(Lookup lookup);
    ~PageLabels();

    // The label of a catalogue id (0 to 10000).
    [[nodiscard]] const std::string& operator()(int id) const;

private:
    struct Cache;
    Lookup lookup_;
    std::unique_ptr<Cache> cache_;
};

}  // namespace twds
