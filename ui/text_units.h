// What a screen reader asks of a text box: the character, word, sentence or
// line at an offset, or the one before or after it. Offsets count UTF-16
// code units, as the accessibility interfaces do. Every offset from 0 to
// the length, the end included, gets an answer, and no answer loops.
#pragma once

#include <string_view>

namespace tavrel {

enum class TextUnit { Character, Word, Sentence, Line };

struct TextSpan {
    int start = 0;
    int end = 0;
    bool operator==(const TextSpan&) const = default;
};

// The unit at `offset` (`step` 0), or the one before (-1) or after (+1) it.
// A word runs from its first character to the next word, taking the spaces
// after it; a run of punctuation is a word of its own, as the box's own
// Ctrl+Left and Ctrl+Right step over it. A sentence ends after '.', '!' or
// '?' and the spaces after them; a line after a line break. At the end of
// the text the last unit answers, except for characters: there the answer
// is empty. With no unit there, the answer is empty at the nearer end.
TextSpan TextUnitAt(std::u16string_view text, int offset, TextUnit unit, int step = 0);

}  // namespace tavrel
