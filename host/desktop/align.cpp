#include "host/desktop/align.h"

#include <algorithm>

namespace desk {
namespace {

// One pass over the items of one alignment, taking room from `rest`.
void Take(TAlign which, const std::vector<AlignItem>& items, Box& rest, std::vector<Box>& out) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        const AlignItem& it = items[i];
        if (!it.visible || it.align != which) continue;
        Box& b = out[i];
        switch (which) {
        case alTop:
            b = {rest.x, rest.y, rest.w, std::min(it.bounds.h, rest.h)};
            rest.y += b.h;
            rest.h -= b.h;
            break;
        case alBottom:
            b = {rest.x, 0, rest.w, std::min(it.bounds.h, rest.h)};
            b.y = rest.y + rest.h - b.h;
            rest.h -= b.h;
            break;
        case alLeft:
            b = {rest.x, rest.y, std::min(it.bounds.w, rest.w), rest.h};
            rest.x += b.w;
            rest.w -= b.w;
            break;
        case alRight:
            b = {0, rest.y, std::min(it.bounds.w, rest.w), rest.h};
            b.x = rest.x + rest.w - b.w;
            rest.w -= b.w;
            break;
        case alClient: b = rest; break;
        case alNone: break;
        }
    }
}

}  // namespace

std::vector<Box> AlignChildren(const Box& client, const std::vector<AlignItem>& items) {
    std::vector<Box> out(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const AlignItem& it = items[i];
        if (it.align == alNone || !it.visible)
            out[i] = {it.bounds.x, it.bounds.y, std::max(0, it.bounds.w), std::max(0, it.bounds.h)};
    }
    Box rest = client;
    rest.w = std::max(0, rest.w);
    rest.h = std::max(0, rest.h);
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) Take(a, items, rest, out);
    return out;
}

}  // namespace desk
