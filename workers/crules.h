#pragma once

#include <optional>

// The rules a batch names and keeps its outputs by. Their numbers are what
// the settings keep and the converter's setters take.
enum class cNameRule
{
    ChangeExtension = 0, // hello.mp3 becomes hello.wav
    AppendExtension = 1, // hello.mp3 becomes hello.mp3.wav
};

enum class cExistingRule
{
    Overwrite = 0,
    Skip = 1,
    Update = 2, // overwritten when older than its source, else left alone
};

// The rule a number stands for; none for a number that names none.
inline std::optional<cNameRule> nameRuleOf(int value)
{
    if (value < 0 || value > 1)
        return std::nullopt;
    return static_cast<cNameRule>(value);
}

inline std::optional<cExistingRule> existingRuleOf(int value)
{
    if (value < 0 || value > 2)
        return std::nullopt;
    return static_cast<cExistingRule>(value);
}
