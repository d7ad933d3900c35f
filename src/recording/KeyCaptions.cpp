#include "recording/KeyCaptions.h"

#include "device/KeyCodes.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// clang-format off
const std::array<std::pair<int16_t, int>, 7> CAPTIONS = {{
    {KEY_K1 + KEY_SHORT, TEXT_CAPTION_K1_SHORT}, {KEY_K1 + KEY_LONG, TEXT_CAPTION_K1_LONG},
    {KEY_K1 + KEY_REPEAT, TEXT_CAPTION_K1_HELD}, {KEY_K2 + KEY_SHORT, TEXT_CAPTION_K2_SHORT},
    {KEY_K2 + KEY_LONG, TEXT_CAPTION_K2_LONG}, {KEY_K2 + KEY_REPEAT, TEXT_CAPTION_K2_HELD},
    {KEY_BOTH, TEXT_CAPTION_BOTH}}};
// clang-format on

constexpr uint32_t LIFE_MS = KEY_CAPTION_SHOW_MS + KEY_CAPTION_FADE_MS;
constexpr uint32_t FADE_STEP_MS = 50;

bool IsHeld(int16_t code) {
    return code == KEY_K1 + KEY_REPEAT || code == KEY_K2 + KEY_REPEAT;
}

} // namespace

int KeyCaptionId(int16_t code) {
    for (const auto& [c, id] : CAPTIONS)
        if (c == code) return id;
    return 0;
}

std::string KeyCaptionText(const TKeyCaption& caption) {
    const std::string text = LoadStr(caption.TextId);
    if (caption.Count <= 1) return text;
    std::string counted = LoadStr(TEXT_CAPTION_COUNT);
    if (const auto s = counted.find("%s"); s != std::string::npos) counted.replace(s, 2, text);
    if (const auto d = counted.find("%d"); d != std::string::npos)
        counted.replace(d, 2, std::to_string(caption.Count));
    return counted;
}

void TKeyCaptions::Add(int16_t code, uint32_t tick) {
    if (KeyCaptionId(code) == 0) return;
    if (!FEntries.empty() && FEntries.back().Code == code) {
        TEntry& last = FEntries.back();
        // Unsigned: right across the tick count's wrap.
        if (IsHeld(code) && tick - last.Tick <= KEY_REPEAT_MS * 4) {
            last.Tick = tick; // the same hold goes on
            return;
        }
        if (!IsHeld(code) && tick - last.Tick <= KEY_CAPTION_AGAIN_MS) {
            ++last.Count;
            last.Tick = tick;
            return;
        }
    }
    FEntries.push_back({code, 1, tick});
    while (FEntries.size() > KEY_CAPTIONS_SHOWN)
        FEntries.pop_front();
}

std::vector<TKeyCaption> TKeyCaptions::Shown(uint32_t tick) const {
    std::vector<TKeyCaption> shown;
    for (const TEntry& e : FEntries) {
        const uint32_t age = tick - e.Tick;
        if (age >= LIFE_MS) continue;
        const double opacity =
            age < KEY_CAPTION_SHOW_MS
                ? 1.0
                : 1.0 - static_cast<double>(age - KEY_CAPTION_SHOW_MS) / KEY_CAPTION_FADE_MS;
        shown.push_back({KeyCaptionId(e.Code), e.Count, opacity});
    }
    return shown;
}

uint32_t TKeyCaptions::NextChangeIn(uint32_t tick) const {
    uint32_t next = 0;
    for (const TEntry& e : FEntries) {
        const uint32_t age = tick - e.Tick;
        if (age >= LIFE_MS) continue;
        const uint32_t in =
            age < KEY_CAPTION_SHOW_MS ? KEY_CAPTION_SHOW_MS - age : std::min(FADE_STEP_MS, LIFE_MS - age);
        next = next == 0 ? in : std::min(next, in);
    }
    return next;
}
