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
struct CaptureInput {
    enum class Kind { Default, Output, Emulator, Application, Source };
    Kind kind = Kind::Default;
    // Application: the tail of the program's executable name, case ignored.
    // Source: the source's name.
    std::string text;

    bool operator==(const CaptureInput&) const = default;
};

// The emulator's install location, read when a recording starts; empty when
// none is registered.
using EmulatorLocation = std::function<std::string()>;

// The command line's values.
inline constexpr const char* kRecordFromValues = "default|output|emulator|application:TEXT|source:NAME";

// "default", "output", "emulator", "application:TEXT" or "source:NAME".
std::optional<CaptureInput> ParseRecordFrom(std::string_view value);

// "--record-from=VALUE" or "--record-from VALUE" among a program's
// arguments, taken out of argv so the rest is handled as before.
struct RecordFromOption {
    bool given = false;
    std::optional<CaptureInput> input;  // none when the value is not one of kRecordFromValues
    std::string value;
};
RecordFromOption TakeRecordFromOption(int& argc, char** argv);

// The one-line complaint about a value that is not known.
std::string RecordFromUsageError(const std::string& program, const std::string& value);

// The MCI form after "set NAME input": default, output, emulator,
// application "TEXT", source "NAME", or a source's number. 0 or an MCI error;
// a number leaves `input` alone and sets `sourceNumber`.
std::uint32_t ParseInputWords(std::string_view text, CaptureInput& input,
                              std::optional<std::uint64_t>& sourceNumber);

// "default", "output", "emulator", "application TEXT", "source NAME".
std::string DescribeInput(const CaptureInput& input);

}  // namespace tapelark
