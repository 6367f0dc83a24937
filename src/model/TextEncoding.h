// Showing stored byte strings (layer names, texture texts) as text: valid UTF-8 is shown as
// it is, anything else is decoded as Shift-JIS (code page 932), as Japanese Windows wrote it.
#pragma once

#include <string>
#include <string_view>

bool IsValidUtf8(std::string_view bytes);

// UTF-8 text for display. Bytes that are not valid CP932 either become U+FFFD.
std::string ToDisplayUtf8(std::string_view bytes);
