// Small text helpers shared by the toolkit-free code.
//
// Text is UTF-8 in std::string. File names on Linux are bytes; they pass
// through untouched and only the comparisons below look at code points.
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// One step through UTF-8: the code point at byte `i` and the bytes it takes.
// A byte that does not start a well-formed sequence (stray continuation
// bytes, overlong forms, surrogates, values above U+10FFFF, a sequence cut
// short) is taken alone and marked invalid.
struct Utf8Step {
    char32_t cp;
    std::size_t len;
    bool valid;
};
Utf8Step DecodeUtf8(std::string_view text, std::size_t i);

// Number of characters (code points) in a UTF-8 text. Bytes that are not
// valid UTF-8 count one each.
std::size_t CharCount(std::string_view text);

// Byte offset at which character number `n` (0-based) starts; the size of
// the text when it has `n` characters or fewer.
std::size_t ByteOffsetOfChar(std::string_view text, std::size_t n);

// Unicode's simple case folding of one character (the character itself when
// it has none): one character to one character, as Windows compares names.
char32_t FoldCodePoint(char32_t c);

// Folds letters for comparisons "without regard to case", in every script.
// Bytes that are not valid UTF-8 are kept as they are.
std::string FoldCase(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);

// True when `text` ends in `end`, letters compared without regard to case.
bool EndsWithNoCase(std::string_view text, std::string_view end);
// True when `text` contains `needle`, letters compared without regard to case.
bool ContainsNoCase(std::string_view text, std::string_view needle);

// Ordering used for every folder listing: by name without regard to case,
// then by the exact bytes, so that the order never depends on the file system.
bool NameLess(std::string_view a, std::string_view b);
// The same with each name's FoldCase already at hand.
bool NameLessFolded(std::string_view foldedA, std::string_view a, std::string_view foldedB, std::string_view b);

// The entry name of a file name: everything before its last ".".
std::string StripLastExtension(std::string_view name);

}  // namespace tavrel
