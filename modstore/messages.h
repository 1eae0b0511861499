// The kinds of modal message box the program shows: buttons, icon, answer.
#pragma once

#include <string>
#include <vector>

namespace tavrel {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { Critical, Exclamation, Question, Information };
enum class Answer { Ok, Cancel, Yes, No };

// The buttons of a message box, in order; Enter answers the first.
inline std::vector<Answer> ButtonAnswers(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel: return {Answer::Ok, Answer::Cancel};
        case Buttons::YesNo: return {Answer::Yes, Answer::No};
        case Buttons::Ok: break;
    }
    return {Answer::Ok};
}

// The answer of Escape, and of a box closed any other way than by a button:
// Cancel or No where there is one, else OK.
inline Answer EscapeAnswer(Buttons buttons) { return ButtonAnswers(buttons).back(); }

// Shows a modal message box titled "Tavrel" and returns the answer.
class MessageHost {
public:
    virtual ~MessageHost() = default;
    virtual Answer message(const std::string& text, Buttons buttons, Icon icon) = 0;
};

}  // namespace tavrel
