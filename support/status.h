// Outcome of a file operation: success, or the platform's own error text.
#pragma once

#include <string>
#include <utility>

namespace tavrel {

class Status {
public:
    static Status Ok() { return Status(); }
    static Status Error(std::string text) { return Status(std::move(text), true); }
    // The platform's description of an error number (errno on Linux, the
    // system error code on Windows).
    static Status FromError(int code);

    bool ok() const { return !failed_; }
    const std::string& text() const { return text_; }
    // The system's error number it came from; 0 when none.
    int code() const { return code_; }

private:
    Status() = default;
    Status(std::string text, bool failed, int code = 0) : text_(std::move(text)), failed_(failed), code_(code) {}
    std::string text_;
    bool failed_ = false;
    int code_ = 0;
};

// The platform's description of an error number: the text strerror gives on
// Linux, the system's message on Windows.
std::string ErrorText(int code);

// Failures the program finds itself, before the system is asked.
enum class Failure {
    FileExists,      // a name is taken
    NoSuchFile,      // a name is missing
    IsAFolder,       // a file was expected
    NotRegularFile,  // a pipe, device or socket where a file was expected
    NoSpace,         // the volume has too little room left
    Cancelled,       // the user asked to stop
};

// The failure with the system's own text for it.
Status FailureStatus(Failure failure);

}  // namespace tavrel
