// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tapelark {

// What a recording hears: the default input (a microphone, usually), what the
// default output plays, only what one program plays, or a source by name.
// A program may also be one the caller knows by a name of its own, which
// the caller finds afresh at each record (see NamedProgram).
struct CaptureInput {
    enum class Kind { Default, Output, Application, Source, Program };
    Kind kind = Kind::Default;
    // Application: the tail of the program's executable name, case ignored.
    // Source: the source's name. Program: the caller's name for it.
    std::string text;

    bool operator==(const CaptureInput&) const = default;
};

// What a program the caller names is, found when a recording starts.
struct ProgramMatch {
    std::string nameTail;  // as Application's text; empty: nothing to match
    std::string note;      // how it was found, where the user should know
};

// A program the caller knows by `name` ("set NAME input <name>",
// "--record-from=<name>"); `find` says which it is at each record.
struct NamedProgram {
    std::string name;
    std::function<ProgramMatch()> find;
};

// The command line's values, the caller's program among them.
std::string RecordFromValues(const std::string& programName);

// "default", "output", "application:TEXT", "source:NAME" or `programName`.
std::optional<CaptureInput> ParseRecordFrom(std::string_view value, const std::string& programName);

// "--record-from=VALUE" or "--record-from VALUE" among a program's
// arguments, taken out of argv so the rest is handled as before.
struct RecordFromOption {
    bool given = false;
    std::optional<CaptureInput> input;  // none when the value is not one of RecordFromValues
    std::string value;
};
RecordFromOption TakeRecordFromOption(int& argc, char** argv, const std::string& programName);

// The one-line complaint about a value that is not known.
std::string RecordFromUsageError(const std::string& program, const std::string& value,
                                 const std::string& programName);

// The MCI form after "set NAME input": default, output, application
// "TEXT", source "NAME", `programName`, or a source's number. 0 or an MCI
// error; a number leaves `input` alone and sets `sourceNumber`.
std::uint32_t ParseInputWords(std::string_view text, CaptureInput& input, std::optional<std::uint64_t>& sourceNumber,
                              const std::string& programName);

// "default", "output", "application TEXT", "source NAME", or the program's name.
std::string DescribeInput(const CaptureInput& input);

}  // namespace tapelark
