#pragma once

#include <string_view>

namespace twds {

// The window's cool bar ("CoolBar1"), whose bands take their captions from
// catalogue ids 181, 182, ... in band order.
class LocalisableCoolBar {
public:
    virtual ~LocalisableCoolBar() = default;

    [[nodiscard]] virtual int bandCount() const = 0;
    // `band` counts from 1. False when the band has no caption to set.
    virtual bool setBandCaption(int band, std::string_view text) = 0;
};

}  // namespace twds
