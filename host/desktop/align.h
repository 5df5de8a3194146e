// Placement of a container's children by their Align and bounds, as the
// framework does it: top-aligned children stack down from the top edge in
// their order, bottom-aligned ones up from the bottom, then left and right
// ones share the height that is left, and a client-aligned child takes the
// rest. Unaligned children keep their Left/Top/Width/Height. Hidden children
// take no room.
#pragma once

#include "platform/ui/controls.h"

#include <vector>

namespace desk {

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

struct AlignItem {
    TAlign align = alNone;
    Box bounds;  // the model's Left, Top, Width, Height
    bool visible = true;
};

// The rectangle of each item inside `client` (same order as `items`). Sizes
// never go below zero.
std::vector<Box> AlignChildren(const Box& client, const std::vector<AlignItem>& items);

}  // namespace desk
