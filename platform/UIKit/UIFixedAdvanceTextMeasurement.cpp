#include "UIKit/UIFixedAdvanceTextMeasurement.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "UIKit/UIFont.h"

namespace {

bool fixedAdvanceWraps(NSLineBreakMode mode) {
    return mode == NSLineBreakByWordWrapping || mode == NSLineBreakByCharWrapping;
}

std::vector<std::string_view> paragraphsOf(std::string_view text) {
    std::vector<std::string_view> paragraphs;
    while (true) {
        const auto newline = text.find('\n');
        paragraphs.push_back(text.substr(0, newline));
        if (newline == std::string_view::npos) {
            return paragraphs;
        }
        text.remove_prefix(newline + 1);
    }
}

std::size_t codePointCount(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

} // namespace

CGFloat UIFixedAdvanceTextMeasurement::advance(const UIFont& font) const {
    return _emAdvance * font.pointSize();
}

std::vector<CGFloat> UIFixedAdvanceTextMeasurement::layOutLineWidths(std::string_view text,
                                                                     const UIFont& font,
                                                                     std::optional<CGFloat> maximumWidth,
                                                                     NSLineBreakMode lineBreakMode) const {
    const CGFloat characterAdvance = advance(font);
    std::vector<CGFloat> widths;
    for (const auto paragraph : paragraphsOf(text)) {
        const std::size_t characters = codePointCount(paragraph);
        if (!maximumWidth || !fixedAdvanceWraps(lineBreakMode) || characterAdvance <= 0) {
            widths.push_back(static_cast<CGFloat>(characters) * characterAdvance);
            continue;
        }
        const auto perLine = std::max<std::size_t>(
            1, static_cast<std::size_t>(std::floor(*maximumWidth / characterAdvance + 1e-9)));
        if (lineBreakMode == NSLineBreakByCharWrapping) {
            std::size_t left = characters;
            do {
                const std::size_t taken = std::min(left, perLine);
                widths.push_back(static_cast<CGFloat>(taken) * characterAdvance);
                left -= taken;
            } while (left > 0);
            continue;
        }
        // Word wrap: words separated by spaces; a word longer than a line breaks anywhere.
        std::size_t lineCharacters = 0;
        bool lineStarted = false;
        std::string_view rest = paragraph;
        while (true) {
            const auto space = rest.find(' ');
            std::size_t word = codePointCount(rest.substr(0, space));
            if (lineStarted && lineCharacters + 1 + word <= perLine) {
                lineCharacters += 1 + word;
            } else {
                if (lineStarted) {
                    widths.push_back(static_cast<CGFloat>(lineCharacters) * characterAdvance);
                }
                while (word > perLine) {
                    widths.push_back(static_cast<CGFloat>(perLine) * characterAdvance);
                    word -= perLine;
                }
                lineCharacters = word;
                lineStarted = true;
            }
            if (space == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(space + 1);
        }
        widths.push_back(static_cast<CGFloat>(lineCharacters) * characterAdvance);
    }
    return widths;
}

UIFontMetrics UIFixedAdvanceTextMeasurement::measureMetrics(const UIFont& font) const {
    return {font.pointSize(), -0.25 * font.pointSize(), 1.25 * font.pointSize()};
}
