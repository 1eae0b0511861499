#include "ui/text_units.h"

#include <algorithm>
#include <vector>

namespace tavrel {
namespace {

enum class Kind { Space, Word, Punctuation };

Kind KindOf(char16_t c) {
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x00A0 || c == 0x3000) return Kind::Space;
    const bool asciiWord = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
    return asciiWord || c >= 0x80 ? Kind::Word : Kind::Punctuation;
}

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Where each unit starts; the first at 0.
std::vector<int> UnitStarts(std::u16string_view text, TextUnit unit) {
    const int length = static_cast<int>(text.size());
    std::vector<int> starts{0};
    for (int i = 1; i < length; ++i) {
        const char16_t c = text[static_cast<std::size_t>(i)], before = text[static_cast<std::size_t>(i) - 1];
        bool startsHere = false;
        switch (unit) {
            case TextUnit::Character: startsHere = !IsLowSurrogate(c); break;
            case TextUnit::Word: startsHere = KindOf(c) != Kind::Space && KindOf(c) != KindOf(before); break;
            case TextUnit::Sentence:
                startsHere = KindOf(c) != Kind::Space && KindOf(before) == Kind::Space &&
                              [&] {  // the spaces before follow a full stop
                                  int j = i - 1;
                                  while (j > 0 && KindOf(text[static_cast<std::size_t>(j)]) == Kind::Space) --j;
                                  const char16_t end = text[static_cast<std::size_t>(j)];
                                  return end == u'.' || end == u'!' || end == u'?';
                              }();
                break;
            case TextUnit::Line: startsHere = before == u'\n'; break;
        }
        if (startsHere) starts.push_back(i);
    }
    return starts;
}

}  // namespace

TextSpan TextUnitAt(std::u16string_view text, int offset, TextUnit unit, int step) {
    const int length = static_cast<int>(text.size());
    offset = std::clamp(offset, 0, length);
    if (length == 0) return {};
    const std::vector<int> starts = UnitStarts(text, unit);
    const int count = static_cast<int>(starts.size());
    // The unit that holds the offset; at the end, the last one (for
    // characters, the place after it).
    int at = static_cast<int>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
    if (offset == length && unit == TextUnit::Character) at = count;
    const int wanted = at + step;
    if (wanted < 0) return {0, 0};
    if (wanted >= count) return {length, length};
    return {starts[static_cast<std::size_t>(wanted)], wanted + 1 < count ? starts[static_cast<std::size_t>(wanted) + 1] : length};
}

}  // namespace tavrel
