// MessagePack headers, by first byte (length fields are big-endian):
//   00-7f e0-ff c0 c2 c3     one-byte scalars     ca cb     float 4/8
//   cc-cf d0-d3              ints, 1/2/4/8 bytes  a0-bf     str, length in the byte
//   d9 da db  c4 c5 c6       str/bin 8/16/32-bit length, then the body
//   c7 c8 c9                 ext 8/16/32-bit length, type byte, body
//   d4-d8                    fixext 1/2/4/8/16: type byte, body
//   90-9f dc dd              array of n items (n in the byte, 16- or 32-bit)
//   80-8f de df              map of n pairs (2n items)
//   c1                       never used
#include "platform/net/frame_scanner.h"

#include <algorithm>
#include <string>

namespace {

std::uint64_t BigEndian(const unsigned char* p, int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
}

[[noreturn]] void Limit(const std::string& what) { throw ERpcFrameError(TErrorKind::Limite, what, false); }

}  // namespace

void TFrameScanner::Reset() {
    pos_ = 0;
    body_ = 0;
    decoded_ = 0;
    done_ = false;
    open_.clear();
}

bool TFrameScanner::ItemDone() {
    while (!open_.empty()) {
        if (--open_.back() > 0) return false;
        open_.pop_back();
    }
    return true;
}

void TFrameScanner::Charge(std::uint64_t bytes) {
    decoded_ += bytes;
    if (decoded_ > limits_.MaxDecoded)
        Limit("Quadro que ocuparia mais de " + std::to_string(limits_.MaxDecoded >> 20) +
              " MiB de memória depois de lido.");
}

void TFrameScanner::OpenContainer(std::uint64_t items, bool isMap) {
    const std::uint64_t limit = isMap ? limits_.MaxMap : limits_.MaxArray;
    if ((isMap ? items / 2 : items) > limit)
        Limit("Quadro com " + std::string(isMap ? "mapa" : "lista") + " acima do limite de " + std::to_string(limit) +
              " elementos.");
    if (open_.size() + 1 > limits_.MaxDepth)
        Limit("Quadro com aninhamento acima do limite de " + std::to_string(limits_.MaxDepth) + " níveis.");
    // Every item takes at least one byte: a count the frame cannot hold is refused now.
    if (pos_ > limits_.MaxFrame || items > limits_.MaxFrame - pos_)
        Limit("Quadro maior que o limite de " + std::to_string(limits_.MaxFrame) + " bytes.");
    Charge(items * kDecodedItemBytes);  // items < 2^33: no overflow
    if (items == 0) {
        done_ = ItemDone();
        return;
    }
    open_.push_back(items);
}

void TFrameScanner::Body(std::uint64_t length) {
    if (pos_ > limits_.MaxFrame || length > limits_.MaxFrame - pos_)
        Limit("Quadro maior que o limite de " + std::to_string(limits_.MaxFrame) + " bytes.");
    Charge(length);
    body_ = length;
    if (length == 0) done_ = ItemDone();
}

bool TFrameScanner::Header(const unsigned char* p, std::size_t avail) {
    const unsigned char b = p[0];
    // Items inside a container were charged with it; the frame's own item here.
    if (pos_ == 0 && decoded_ == 0) Charge(kDecodedItemBytes);
    auto need = [&](std::size_t n) { return avail >= n; };
    auto scalar = [&](std::size_t n) {
        if (!need(n)) return false;
        pos_ += n;
        done_ = ItemDone();
        return true;
    };
    auto sized = [&](int lenBytes, int extra) {  // str/bin/ext: length, optional type byte, body
        const std::size_t head = 1 + static_cast<std::size_t>(lenBytes + extra);
        if (!need(head)) return false;
        const std::uint64_t len = BigEndian(p + 1, lenBytes);
        pos_ += head;
        Body(len);
        return true;
    };
    auto container = [&](int lenBytes, std::uint64_t n, bool isMap) {
        const std::size_t head = 1 + static_cast<std::size_t>(lenBytes);
        if (!need(head)) return false;
        if (lenBytes) n = BigEndian(p + 1, lenBytes);
        pos_ += head;
        OpenContainer(isMap ? 2 * n : n, isMap);
        return true;
    };

    if (b <= 0x7f || b >= 0xe0 || b == 0xc0 || b == 0xc2 || b == 0xc3) return scalar(1);
    if (b >= 0x80 && b <= 0x8f) return container(0, b & 0x0f, true);
    if (b >= 0x90 && b <= 0x9f) return container(0, b & 0x0f, false);
    if (b >= 0xa0 && b <= 0xbf) {
        pos_ += 1;
        Body(b & 0x1f);
        return true;
    }
    switch (b) {
    case 0xc4: return sized(1, 0);
    case 0xc5: return sized(2, 0);
    case 0xc6: return sized(4, 0);
    case 0xc7: return sized(1, 1);
    case 0xc8: return sized(2, 1);
    case 0xc9: return sized(4, 1);
    case 0xca: return scalar(5);
    case 0xcb: return scalar(9);
    case 0xcc:
    case 0xd0: return scalar(2);
    case 0xcd:
    case 0xd1: return scalar(3);
    case 0xce:
    case 0xd2: return scalar(5);
    case 0xcf:
    case 0xd3: return scalar(9);
    case 0xd4: return scalar(3);
    case 0xd5: return scalar(4);
    case 0xd6: return scalar(6);
    case 0xd7: return scalar(10);
    case 0xd8: return scalar(18);
    case 0xd9: return sized(1, 0);
    case 0xda: return sized(2, 0);
    case 0xdb: return sized(4, 0);
    case 0xdc: return container(2, 0, false);
    case 0xdd: return container(4, 0, false);
    case 0xde: return container(2, 0, true);
    case 0xdf: return container(4, 0, true);
    default: break;
    }
    throw ERpcFrameError(TErrorKind::Protocolo, "Quadro inválido: os bytes não são MessagePack.", false);
}

std::size_t TFrameScanner::Scan(const char* data, std::size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    while (!done_) {
        if (body_ > 0) {
            const std::uint64_t take = std::min<std::uint64_t>(body_, size - pos_);
            pos_ += static_cast<std::size_t>(take);
            body_ -= take;
            if (body_ > 0) return 0;
            done_ = ItemDone();
            continue;
        }
        if (pos_ >= size || !Header(p + pos_, size - pos_)) break;
        if (pos_ > limits_.MaxFrame)
            Limit("Quadro maior que o limite de " + std::to_string(limits_.MaxFrame) + " bytes.");
    }
    return done_ ? pos_ : 0;
}
