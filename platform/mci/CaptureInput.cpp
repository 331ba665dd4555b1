// SPDX-License-Identifier: MIT
#include "platform/mci/CaptureInput.h"

#include <charconv>

#include "common/AsciiText.h"
#include "platform/mci/MciErrors.h"

namespace tapelark {

namespace {

std::optional<CaptureInput::Kind> KindNamed(std::string_view name, const std::string& programName) {
    using Kind = CaptureInput::Kind;
    for (auto [word, kind] : {std::pair{"default", Kind::Default}, {"output", Kind::Output},
                              {"application", Kind::Application}, {"source", Kind::Source}})
        if (EqualsIgnoringAsciiCase(name, word)) return kind;
    if (!programName.empty() && EqualsIgnoringAsciiCase(name, programName)) return Kind::Program;
    return std::nullopt;
}

bool TakesText(CaptureInput::Kind kind) {
    return kind == CaptureInput::Kind::Application || kind == CaptureInput::Kind::Source;
}

}  // namespace

std::string RecordFromValues(const std::string& programName) {
    return "default|output|" + (programName.empty() ? "" : programName + "|") + "application:TEXT|source:NAME";
}

std::optional<CaptureInput> ParseRecordFrom(std::string_view value, const std::string& programName) {
    std::size_t colon = value.find(':');
    auto kind = KindNamed(value.substr(0, colon), programName);
    if (!kind || TakesText(*kind) != (colon != std::string_view::npos)) return std::nullopt;
    if (*kind == CaptureInput::Kind::Program) return CaptureInput{*kind, programName};
    CaptureInput input{*kind, colon == std::string_view::npos ? "" : std::string(value.substr(colon + 1))};
    if (*kind == CaptureInput::Kind::Source && input.text.empty()) return std::nullopt;
    return input;
}

RecordFromOption TakeRecordFromOption(int& argc, char** argv, const std::string& programName) {
    constexpr std::string_view kOption = "--record-from";
    RecordFromOption option;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        bool joined = arg.size() > kOption.size() && arg.substr(0, kOption.size() + 1) == "--record-from=";
        if (arg != kOption && !joined) {
            argv[kept++] = argv[i];
            continue;
        }
        option.given = true;
        if (joined) option.value = std::string(arg.substr(kOption.size() + 1));
        else option.value = i + 1 < argc ? argv[++i] : "";
        option.input = ParseRecordFrom(option.value, programName);
    }
    argc = kept;
    argv[argc] = nullptr;
    return option;
}

std::string RecordFromUsageError(const std::string& program, const std::string& value,
                                 const std::string& programName) {
    return program + ": unknown --record-from value \"" + value + "\"; use --record-from=" +
           RecordFromValues(programName);
}

std::uint32_t ParseInputWords(std::string_view text, CaptureInput& input, std::optional<std::uint64_t>& sourceNumber,
                              const std::string& programName) {
    text = TrimWhitespace(text);
    if (text.empty()) return mcierr::kMissingParameter;
    std::size_t end = text.find_first_of(" \t");
    std::string_view word = text.substr(0, end);
    std::string_view rest = end == std::string_view::npos ? "" : TrimWhitespace(text.substr(end));

    std::uint64_t number = 0;
    auto [last, ec] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (ec == std::errc{} && last == word.data() + word.size()) {
        if (!rest.empty()) return mcierr::kUnrecognizedKeyword;
        sourceNumber = number;
        return 0;
    }
    auto kind = KindNamed(word, programName);
    if (!kind) return mcierr::kUnknownInput;
    if (!TakesText(*kind)) {
        if (!rest.empty()) return mcierr::kUnrecognizedKeyword;
        input = {*kind, *kind == CaptureInput::Kind::Program ? programName : ""};
        return 0;
    }
    // The whole rest is the text, so it may hold blanks and quotes itself;
    // quotes around it are the command language's, not the text's.
    if (!rest.empty() && rest.front() == '"') {
        if (rest.size() < 2 || rest.back() != '"') return mcierr::kNoClosingQuote;
        rest = rest.substr(1, rest.size() - 2);
    }
    if (*kind == CaptureInput::Kind::Source && rest.empty()) return mcierr::kMissingStringArgument;
    input = {*kind, std::string(rest)};
    return 0;
}

std::string DescribeInput(const CaptureInput& input) {
    switch (input.kind) {
    case CaptureInput::Kind::Default: return "default";
    case CaptureInput::Kind::Output: return "output";
    case CaptureInput::Kind::Program: return input.text;
    case CaptureInput::Kind::Application: return input.text.empty() ? "application" : "application " + input.text;
    case CaptureInput::Kind::Source: return "source " + input.text;
    }
    return "default";
}

}  // namespace tapelark
