#include "device/LcdText.h"

#include "device/Lcd.h"
#include "platform/Codepage.h"

#include <algorithm>

namespace {

// Per page and column: one more than the first column of the character drawn
// there, 0 for none (so the zeroed start is a blank LCD).
int16_t g_Owner[LCD_PAGES][LCD_WIDTH];
// At a character's first column: the character, its width and its shade.
struct TCell {
    char Ch;
    int16_t Width;
    bool Inverted;
};
TCell g_Cells[LCD_PAGES][LCD_WIDTH];

bool OnLcd(int16_t page, int16_t column) {
    return page >= 0 && page < LCD_PAGES && column >= 0 && column < LCD_WIDTH;
}

void ForgetCharacterAt(int16_t page, int16_t column) {
    const int owner = g_Owner[page][column];
    if (owner == 0) return;
    const int start = owner - 1;
    const int end = std::min<int>(start + g_Cells[page][start].Width, LCD_WIDTH);
    for (int c = start; c < end; ++c)
        if (g_Owner[page][c] == owner) g_Owner[page][c] = 0;
}

} // namespace

void LcdTextForgetAll() {
    for (auto& page : g_Owner)
        std::fill(std::begin(page), std::end(page), int16_t{0});
}

void LcdTextForget(int16_t page, int16_t firstColumn, int16_t lastColumn) {
    for (int c = std::max<int>(firstColumn, 0); c <= lastColumn && c < LCD_WIDTH; ++c)
        if (OnLcd(page, static_cast<int16_t>(c))) ForgetCharacterAt(page, static_cast<int16_t>(c));
}

void LcdTextRemember(int16_t page, int16_t column, int16_t width, char ch, bool inverted) {
    if (!OnLcd(page, column) || width <= 0) return;
    const auto last = static_cast<int16_t>(std::min<int>(column + width, LCD_WIDTH) - 1);
    LcdTextForget(page, column, last);
    for (int c = column; c <= last; ++c)
        g_Owner[page][c] = static_cast<int16_t>(column + 1);
    g_Cells[page][column] = TCell{ch, width, inverted};
}

std::vector<TLcdTextRun> LcdTextLine(int16_t page) {
    std::vector<TLcdTextRun> runs;
    if (page < 0 || page >= LCD_PAGES) return runs;
    int end = -1; // the column after the last character taken
    for (int c = 0; c < LCD_WIDTH; ++c) {
        if (g_Owner[page][c] != c + 1) continue;
        const TCell& cell = g_Cells[page][c];
        if (runs.empty() || runs.back().Inverted != cell.Inverted)
            runs.push_back(TLcdTextRun{{}, cell.Inverted});
        if (end >= 0 && c > end) runs.back().Text += ' ';
        runs.back().Text += cell.Ch;
        end = c + cell.Width;
    }
    return runs;
}

namespace {

std::string FoldBlanks(const std::string& text) {
    std::string folded;
    for (const char ch : text) {
        if (ch == ' ' && (folded.empty() || folded.back() == ' ')) continue;
        folded += ch;
    }
    if (!folded.empty() && folded.back() == ' ') folded.pop_back();
    return folded;
}

} // namespace

std::string LcdScreenText(const std::string& selectedFormat) {
    std::string screen;
    for (int16_t page = 0; page < LCD_PAGES; ++page) {
        std::string line;
        for (const TLcdTextRun& run : LcdTextLine(page)) {
            std::string text = FoldBlanks(Cp1251ToUtf8(run.Text));
            if (text.empty()) continue;
            if (run.Inverted) {
                std::string marked = selectedFormat;
                const std::size_t at = marked.find("%s");
                text = at == std::string::npos ? text : marked.replace(at, 2, text);
            }
            line += line.empty() ? text : " " + text;
        }
        if (line.empty()) continue;
        screen += screen.empty() ? line : "\n" + line;
    }
    return screen;
}
