// SPDX-License-Identifier: MIT
#include "platform/mci/MciCommandParser.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "common/AsciiText.h"
#include "platform/mci/MciErrors.h"

namespace tapelark {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Takes the next word off `s`; false when `s` holds no more words.
std::uint32_t NextWord(std::string_view& s, std::string& word, bool& found) {
    s = TrimWhitespace(s);
    found = !s.empty();
    word.clear();
    if (!found) return 0;
    if (s.front() == '"') {
        std::size_t close = s.find('"', 1);
        if (close == std::string_view::npos) return mcierr::kNoClosingQuote;
        word.assign(s.substr(1, close - 1));
        s.remove_prefix(close + 1);
        return 0;
    }
    std::size_t end = 0;
    while (end < s.size() && !IsBlank(s[end])) ++end;
    word.assign(s.substr(0, end));
    s.remove_prefix(end);
    return 0;
}

constexpr struct {
    std::string_view name;
    MciVerb verb;
} kVerbs[] = {
    {"open", MciVerb::Open},     {"close", MciVerb::Close},     {"sysinfo", MciVerb::Sysinfo},
    {"set", MciVerb::Set},       {"status", MciVerb::Status},   {"capability", MciVerb::Capability},
    {"info", MciVerb::Info},     {"save", MciVerb::Save},       {"record", MciVerb::Record},
    {"play", MciVerb::Play},     {"stop", MciVerb::Stop},       {"pause", MciVerb::Pause},
    {"resume", MciVerb::Resume}, {"seek", MciVerb::Seek},       {"cue", MciVerb::Cue},
    {"delete", MciVerb::Delete},
};

bool IsFlag(const std::string& word, MciCommand& out) {
    std::string lower = AsciiLowerCase(word);
    if (lower == "wait") return out.wait = true;
    if (lower == "notify") return out.notify = true;
    return false;
}

}  // namespace

std::uint32_t ParseMciCommand(std::string_view text, MciCommand& out) {
    out = MciCommand{};
    std::string_view s = text;
    bool found = false;
    std::string word;
    if (auto code = NextWord(s, word, found)) return code;
    if (!found) return mcierr::kMissingCommandString;
    const auto* known = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                     [&](const auto& v) { return v.name == AsciiLowerCase(word); });
    if (known == std::end(kVerbs)) return mcierr::kUnrecognizedCommand;
    out.verb = known->verb;
    if (auto code = NextWord(s, out.device, found)) return code;
    if (!found) return mcierr::kMissingDeviceName;
    out.rest = std::string(TrimWhitespace(s));
    // A path or a program's name is read from the raw rest, so the flags come
    // off its end here, as they come out of the words below; a quoted last
    // word is a value, never a flag.
    while (!out.rest.empty() && out.rest.back() != '"') {
        std::size_t blank = out.rest.find_last_of(" \t\r\n");
        std::size_t from = blank == std::string::npos ? 0 : blank + 1;
        if (!IsFlag(out.rest.substr(from), out)) break;
        out.rest = std::string(TrimWhitespace(std::string_view(out.rest).substr(0, from)));
    }
    // The rest is split only for keyword commands; "save" takes it whole, so
    // an unbalanced quote inside a path is not an error there.
    while (true) {
        const bool quoted = !TrimWhitespace(s).empty() && TrimWhitespace(s).front() == '"';
        std::uint32_t code = NextWord(s, word, found);
        if (code != 0) {
            if (out.verb == MciVerb::Save) break;
            return code;
        }
        if (!found) break;
        // A save's flags are only those after its path, taken above.
        if (quoted || out.verb == MciVerb::Save || !IsFlag(word, out)) out.words.push_back(word);
    }
    return 0;
}

bool ParseMciNumber(std::string_view w, std::uint64_t& value) {
    bool negative = !w.empty() && w.front() == '-';
    if (negative) w.remove_prefix(1);
    if (w.empty()) return false;
    if (w.find(':') == std::string_view::npos) {
        auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
        if (ec != std::errc{} || end != w.data() + w.size()) return false;
        if (negative) value = (std::uint64_t{1} << 32) - (value & 0xFFFFFFFFu);
        value &= negative ? 0xFFFFFFFFu : ~std::uint64_t{0};
        return true;
    }
    std::uint64_t packed = 0;
    int shift = 0;
    while (true) {
        std::size_t colon = w.find(':');
        std::string_view part = w.substr(0, colon);
        std::uint64_t field = 0;
        auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), field);
        if (part.empty() || ec != std::errc{} || end != part.data() + part.size() || field >= 256 || shift > 24)
            return false;
        packed |= field << shift;
        shift += 8;
        if (colon == std::string_view::npos) break;
        w.remove_prefix(colon + 1);
    }
    if (negative) return false;
    value = packed;
    return true;
}

bool KeywordReader::Take(std::string_view phrase) {
    std::size_t at = next_;
    std::string_view p = phrase;
    while (!(p = TrimWhitespace(p)).empty()) {
        std::size_t end = p.find(' ');
        std::string_view key = p.substr(0, end);
        p.remove_prefix(end == std::string_view::npos ? p.size() : end);
        if (at >= words_.size() || AsciiLowerCase(words_[at]) != key) return false;
        ++at;
    }
    next_ = at;
    return true;
}

bool KeywordReader::TakeWord(std::string& word) {
    if (AtEnd()) return false;
    word = words_[next_++];
    return true;
}

std::uint32_t KeywordReader::TakeNumber(std::uint64_t& value) {
    if (AtEnd()) return mcierr::kMissingParameter;
    if (!ParseMciNumber(words_[next_], value)) return mcierr::kBadInteger;
    ++next_;
    return 0;
}

}  // namespace tapelark
