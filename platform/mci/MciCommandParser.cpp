#include "platform/mci/MciCommandParser.h"

#include <cctype>
#include <charconv>

#include "platform/mci/MciErrors.h"

namespace tapelark {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Takes the next word off `s`; false when `s` holds no more words.
std::uint32_t NextWord(std::string_view& s, std::string& word, bool& found) {
    s = Trim(s);
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

}  // namespace

std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::uint32_t ParseMciCommand(std::string_view text, MciCommand& out) {
    out = MciCommand{};
    std::string_view s = text;
    bool found = false;
    std::string word;
    if (auto code = NextWord(s, word, found)) return code;
    if (!found) return mcierr::kMissingCommandString;
    out.verb = LowerCase(word);
    if (auto code = NextWord(s, out.device, found)) return code;
    if (!found) return mcierr::kMissingDeviceName;
    out.rest = std::string(Trim(s));
    // The rest is split only for keyword commands; "save" takes it whole, so
    // an unbalanced quote inside a path is not an error there.
    while (true) {
        std::uint32_t code = NextWord(s, word, found);
        if (code != 0) {
            if (out.verb == "save") break;
            return code;
        }
        if (!found) break;
        out.words.push_back(word);
    }
    return 0;
}

bool KeywordReader::Take(std::string_view phrase) {
    std::size_t at = next_;
    std::string_view p = phrase;
    while (!(p = Trim(p)).empty()) {
        std::size_t end = p.find(' ');
        std::string_view key = p.substr(0, end);
        p.remove_prefix(end == std::string_view::npos ? p.size() : end);
        if (at >= words_.size() || LowerCase(words_[at]) != key) return false;
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
    const std::string& w = words_[next_];
    auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
    if (ec != std::errc{} || end != w.data() + w.size()) return mcierr::kBadInteger;
    ++next_;
    return 0;
}

}  // namespace tapelark
