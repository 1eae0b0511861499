// The kinds of modal message box the program shows: buttons, icon, answer.
#pragma once

#include <string>

namespace tavrel {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { Critical, Exclamation, Question, Information };
enum class Answer { Ok, Cancel, Yes, No };

// Shows a modal message box titled "Tavrel" and returns the answer.
class MessageHost {
public:
    virtual ~MessageHost() = default;
    virtual Answer message(const std::string& text, Buttons buttons, Icon icon) = 0;
};

}  // namespace tavrel
