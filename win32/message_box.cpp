#include "win32/message_box.h"

#include <algorithm>

#include "win32/text.h"

namespace tavrel {

UINT MessageBoxStyle(Buttons buttons, Icon icon) {
    UINT style = MB_OK;
    switch (buttons) {
        case Buttons::OkCancel: style = MB_OKCANCEL; break;
        case Buttons::YesNo: style = MB_YESNO; break;
        case Buttons::Ok: break;
    }
    switch (icon) {
        case Icon::Critical: return style | MB_ICONERROR;
        case Icon::Exclamation: return style | MB_ICONEXCLAMATION;
        case Icon::Question: return style | MB_ICONQUESTION;
        case Icon::Information: break;
    }
    return style | MB_ICONINFORMATION;
}

Answer AnswerOf(int result, Buttons buttons) {
    Answer answer = EscapeAnswer(buttons);
    switch (result) {
        case IDOK: answer = Answer::Ok; break;
        case IDCANCEL: answer = Answer::Cancel; break;
        case IDYES: answer = Answer::Yes; break;
        case IDNO: answer = Answer::No; break;
        default: break;
    }
    const auto offered = ButtonAnswers(buttons);
    return std::find(offered.begin(), offered.end(), answer) != offered.end() ? answer : EscapeAnswer(buttons);
}

Answer ShowMessage(HWND owner, const std::string& text, Buttons buttons, Icon icon) {
    const int result = ::MessageBoxW(owner, Wide(text).c_str(), L"Tavrel", MessageBoxStyle(buttons, icon));
    return AnswerOf(result, buttons);
}

}  // namespace tavrel
