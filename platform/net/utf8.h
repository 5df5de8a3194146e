// UTF-8 text as the wire carries it (MessagePack str is UTF-8 text): a strict
// check, and a printable copy of text that came from outside, for messages
// that echo it. Lengths and cuts in characters: Utf8Length and Utf8Left
// (platform/data/text.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// True when s is well-formed UTF-8: no stray continuation byte, no truncated
// or overlong sequence, no surrogate, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s);

// s with every byte that is not part of a well-formed sequence replaced by
// '?', and cut to maxChars characters ("..." marks the cut): safe to put into
// a message whatever s holds.
std::string Utf8Printable(std::string_view s, std::size_t maxChars = 80);
