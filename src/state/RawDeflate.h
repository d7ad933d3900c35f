#pragma once
// Raw deflate streams (no zlib header), as the browser's CompressionStream
// ("deflate-raw") makes and reads them: the links' packing on the native
// side. zlib is not in the page's module, which packs with its browser.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

std::optional<std::string> RawDeflate(std::string_view data);
// None for a stream that is damaged, cut short, followed by junk, or that
// would inflate past limit bytes (a link made to exhaust memory).
std::optional<std::string> RawInflate(std::string_view data, std::size_t limit);
