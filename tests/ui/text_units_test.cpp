// What a screen reader is told of a text: one table of questions, the ends
// of the text among them, each with the span it must get.
#include <gtest/gtest.h>

#include "ui/text_units.h"

namespace tavrel {
namespace {

TEST(TextUnits, AnswerEveryOffset) {
    const std::u16string path = u"/pf/EA Games/Zero Hour";  // 22 code units
    const std::u16string prose = u"Done. Next one!  Last";
    const struct {
        const std::u16string* text;
        int offset;
        TextUnit unit;
        int step;
        TextSpan span;
    } rows[] = {
        {&path, 0, TextUnit::Character, 0, {0, 1}},
        {&path, 22, TextUnit::Character, 0, {22, 22}},  // nothing after the last character
        {&path, 22, TextUnit::Character, -1, {21, 22}},
        {&path, 0, TextUnit::Word, 0, {0, 1}},  // "/" on its own, as Ctrl+Right steps
        {&path, 1, TextUnit::Word, 0, {1, 3}},
        {&path, 4, TextUnit::Word, 0, {4, 7}},  // "EA " takes its space
        {&path, 6, TextUnit::Word, 0, {4, 7}},
        {&path, 22, TextUnit::Word, 0, {18, 22}},  // the end: the last word
        {&path, 22, TextUnit::Word, 1, {22, 22}},
        {&path, 22, TextUnit::Word, -1, {13, 18}},
        {&path, 0, TextUnit::Word, -1, {0, 0}},
        {&path, 22, TextUnit::Sentence, 0, {0, 22}},
        {&path, 22, TextUnit::Line, 0, {0, 22}},
        {&path, 5, TextUnit::Line, 1, {22, 22}},
        {&path, -3, TextUnit::Word, 0, {0, 1}},  // out of range: the nearer end
        {&path, 99, TextUnit::Line, 0, {0, 22}},
        {&prose, 2, TextUnit::Sentence, 0, {0, 6}},
        {&prose, 8, TextUnit::Sentence, 0, {6, 17}},
        {&prose, 21, TextUnit::Sentence, 0, {17, 21}},
        {&prose, 8, TextUnit::Sentence, 1, {17, 21}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "offset " << row.offset << " unit " << static_cast<int>(row.unit)
                                        << " step " << row.step);
        EXPECT_EQ(TextUnitAt(*row.text, row.offset, row.unit, row.step), row.span);
    }
    EXPECT_EQ(TextUnitAt(u"", 0, TextUnit::Word), (TextSpan{0, 0}));
    // A character outside the basic plane is one character of two code units.
    EXPECT_EQ(TextUnitAt(u"a\U0001F600b", 1, TextUnit::Character), (TextSpan{1, 3}));
}

}  // namespace
}  // namespace tavrel
