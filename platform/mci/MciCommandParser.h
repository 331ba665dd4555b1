// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tapelark {

// The commands there are. Open, close and sysinfo are the engine's; the rest
// go to a device.
enum class MciVerb {
    Open, Close, Sysinfo,
    Set, Status, Capability, Info, Save,
    Record, Play, Stop, Pause, Resume, Seek, Cue, Delete,
};

// One MCI command string split into its parts. Words are separated by any
// number of blanks; a double-quoted word may hold blanks.
struct MciCommand {
    MciVerb verb = MciVerb::Open;
    std::string device;              // as written, unquoted
    std::vector<std::string> words;  // after the device, unquoted
    std::string rest;                // the raw text after the device, trimmed
    bool wait = false;               // the flags every command takes; taken
    bool notify = false;             // out of `words` and the end of `rest`
};

// 0 on success, else an MCI error code (empty command, unknown verb, no
// device, open quote).
std::uint32_t ParseMciCommand(std::string_view text, MciCommand& out);

// A whole number as winmm reads one: decimal digits, or up to four fields
// below 256 joined by colons ("h:m:s"), packed low field first into 32 bits;
// a leading '-' negates in 32 bits. Plain numbers past 32 bits are kept
// whole, so callers can call them out of range. false if it is not one.
bool ParseMciNumber(std::string_view word, std::uint64_t& value);

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
    // Consumes a number as winmm reads one (see ParseMciNumber): 0,
    // kMissingParameter or kBadInteger.
    std::uint32_t TakeNumber(std::uint64_t& value);
    // The word consumed last; empty before the first.
    std::string Previous() const { return next_ == 0 ? std::string() : words_[next_ - 1]; }

private:
    const std::vector<std::string>& words_;
    std::size_t next_ = 0;
};

}  // namespace tapelark
