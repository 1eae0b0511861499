// Outcome of a file operation: success, or the platform's own error text.
#pragma once

#include <string>
#include <utility>

namespace tavrel {

class Status {
public:
    static Status Ok() { return Status(); }
    static Status Error(std::string text) { return Status(std::move(text), true); }
    // The platform's description of an errno value (the text strerror gives).
    static Status FromErrno(int err);

    bool ok() const { return !failed_; }
    const std::string& text() const { return text_; }

private:
    Status() = default;
    Status(std::string text, bool failed) : text_(std::move(text)), failed_(failed) {}
    std::string text_;
    bool failed_ = false;
};

// The platform's description of an error number.
std::string ErrorText(int err);

}  // namespace tavrel
