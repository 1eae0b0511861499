// One line a figure, as bench/run prints them: what is measured, its ratio
// to the reference measured in the same run, the absolute numbers, and the
// target with whether this run meets it.
#pragma once

#include <cstdio>
#include <string>

namespace bench {

enum class Target { AtMost, AtLeast, None };

inline void PrintFigure(const std::string& name, double ratio, const std::string& absolute,
                        Target kind = Target::None, double target = 0) {
    std::string goal;
    if (kind != Target::None) {
        const bool met = kind == Target::AtMost ? ratio <= target : ratio >= target;
        char text[48];
        std::snprintf(text, sizeof text, "target %s %.2f: %s", kind == Target::AtMost ? "<=" : ">=", target,
                      met ? "met" : "MISSED");
        goal = text;
    }
    std::printf("%-44s %7.2f   %-58s %s\n", name.c_str(), ratio, absolute.c_str(), goal.c_str());
    std::fflush(stdout);
}

// printf into a std::string, for the absolute numbers.
template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

}  // namespace bench
