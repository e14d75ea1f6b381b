// Names of new jobs in a job store, as the job name input takes them.
#pragma once

#include <optional>
#include <string>

namespace stadix {

constexpr std::size_t kJobNameLength = 8;

// The character as a job name takes it: digits, A to Z, a to z upper-cased, and
// . - # $ % ! & @ + * /; 0 for any other character.
char JobNameCharacter(char typed);

// A typed name as the input takes it: trimmed and upper-cased. None when it is empty,
// longer than 8 characters or holds a character that a job name does not take.
std::optional<std::string> NewJobName(const std::string& typed);

} // namespace stadix
