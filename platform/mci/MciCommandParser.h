#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tapelark {

// One MCI command string split into its parts. Words are separated by any
// number of blanks; a double-quoted word may hold blanks.
struct MciCommand {
    std::string verb;                // lower case
    std::string device;              // as written, unquoted
    std::vector<std::string> words;  // after the device, unquoted
    std::string rest;                // the raw text after the device, trimmed
};

// 0 on success, else an MCI error code (empty command, no device, open quote).
std::uint32_t ParseMciCommand(std::string_view text, MciCommand& out);

std::string LowerCase(std::string_view text);

// Walks the words of a command; keywords match case-insensitively and may
// span several words ("time format").
class KeywordReader {
public:
    explicit KeywordReader(const std::vector<std::string>& words) : words_(words) {}
    bool AtEnd() const { return next_ >= words_.size(); }
    // Consumes `phrase` (blank-separated keywords) if the next words match it.
    bool Take(std::string_view phrase);
    // Consumes one word into `word`; false at the end.
    bool TakeWord(std::string& word);
    // Consumes a whole non-negative number: 0, kMissingParameter or kBadInteger.
    std::uint32_t TakeNumber(std::uint64_t& value);

private:
    const std::vector<std::string>& words_;
    std::size_t next_ = 0;
};

}  // namespace tapelark
