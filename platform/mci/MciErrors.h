// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace tapelark::mcierr {

// winmm's numbers, so tools and users can look them up.
inline constexpr std::uint32_t kBase = 256;
inline constexpr std::uint32_t kUnrecognizedKeyword = kBase + 3;
inline constexpr std::uint32_t kUnrecognizedCommand = kBase + 5;
inline constexpr std::uint32_t kHardware = kBase + 6;
inline constexpr std::uint32_t kInvalidDeviceName = kBase + 7;
inline constexpr std::uint32_t kOutOfMemory = kBase + 8;
inline constexpr std::uint32_t kMissingCommandString = kBase + 11;
inline constexpr std::uint32_t kMissingStringArgument = kBase + 13;
inline constexpr std::uint32_t kBadInteger = kBase + 14;
inline constexpr std::uint32_t kMissingParameter = kBase + 17;
inline constexpr std::uint32_t kUnsupportedFunction = kBase + 18;
inline constexpr std::uint32_t kInternal = kBase + 21;
inline constexpr std::uint32_t kCannotUseAll = kBase + 23;
inline constexpr std::uint32_t kOutOfRange = kBase + 26;
inline constexpr std::uint32_t kFileNotSaved = kBase + 30;
inline constexpr std::uint32_t kDeviceTypeRequired = kBase + 31;
inline constexpr std::uint32_t kDuplicateAlias = kBase + 33;
inline constexpr std::uint32_t kBadConstant = kBase + 34;
inline constexpr std::uint32_t kMissingDeviceName = kBase + 36;
inline constexpr std::uint32_t kBadTimeFormat = kBase + 37;
inline constexpr std::uint32_t kNoClosingQuote = kBase + 38;
inline constexpr std::uint32_t kDuplicateFlags = kBase + 39;
inline constexpr std::uint32_t kNewRequiresAlias = kBase + 43;
inline constexpr std::uint32_t kNonapplicableFunction = kBase + 46;
inline constexpr std::uint32_t kFilenameRequired = kBase + 48;
inline constexpr std::uint32_t kDeviceNotInstalled = kBase + 50;
inline constexpr std::uint32_t kFileWrite = kBase + 93;

// More of winmm's numbers, for the commands scripts send.
inline constexpr std::uint32_t kParamOverflow = kBase + 12;
inline constexpr std::uint32_t kFileNotFound = kBase + 19;
inline constexpr std::uint32_t kExtensionNotFound = kBase + 25;
inline constexpr std::uint32_t kFlagsNotCompatible = kBase + 28;
inline constexpr std::uint32_t kInvalidFile = kBase + 40;
inline constexpr std::uint32_t kNotifyOnAutoOpen = kBase + 44;
inline constexpr std::uint32_t kWaveOutputUnspecified = kBase + 68;
inline constexpr std::uint32_t kFileRead = kBase + 92;

// Our waveaudio driver's own errors, from winmm's custom driver base on.
inline constexpr std::uint32_t kCustomBase = kBase + 256;
inline constexpr std::uint32_t kFormatMismatch = kCustomBase + 0;
inline constexpr std::uint32_t kNoSoundServer = kCustomBase + 1;
inline constexpr std::uint32_t kNoInput = kCustomBase + 2;
inline constexpr std::uint32_t kNoOutput = kCustomBase + 3;
inline constexpr std::uint32_t kServerLost = kCustomBase + 4;
inline constexpr std::uint32_t kNothingRecorded = kCustomBase + 5;
inline constexpr std::uint32_t kFolderMissing = kCustomBase + 7;
inline constexpr std::uint32_t kAccessDenied = kCustomBase + 8;
inline constexpr std::uint32_t kReadOnlyFileSystem = kCustomBase + 9;
inline constexpr std::uint32_t kDiskFull = kCustomBase + 10;
inline constexpr std::uint32_t kNameTooLong = kCustomBase + 11;
inline constexpr std::uint32_t kFileTooLarge = kCustomBase + 12;
inline constexpr std::uint32_t kNotAFolder = kCustomBase + 13;
inline constexpr std::uint32_t kIsAFolder = kCustomBase + 14;
inline constexpr std::uint32_t kSpoolFailed = kCustomBase + 15;
inline constexpr std::uint32_t kSoundServerError = kCustomBase + 16;
// File errors added later, in a block of their own.
inline constexpr std::uint32_t kTooManyOpenFiles = kCustomBase + 32;
inline constexpr std::uint32_t kNulInPath = kCustomBase + 33;
inline constexpr std::uint32_t kNotARegularFile = kCustomBase + 34;
inline constexpr std::uint32_t kLinkLoop = kCustomBase + 35;
inline constexpr std::uint32_t kSpoolUnavailable = kCustomBase + 36;
// What a recording hears ("set NAME input ...").
inline constexpr std::uint32_t kUnknownInput = kCustomBase + 40;
inline constexpr std::uint32_t kNoSuchSource = kCustomBase + 41;

// Maps an errno from writing a file to one of the codes above.
std::uint32_t FromFileErrno(int error);
// Maps an errno from opening a file to read.
std::uint32_t FromReadErrno(int error);
// Maps an errno from the temporary file that holds the sound, outside a
// recording: the open-files limit or memory say so, anything else (a full
// disk most often) kSpoolUnavailable.
std::uint32_t FromSpoolErrno(int error);
// The open-files limit when `error` says it was reached, else `otherwise`.
std::uint32_t FromResourceErrno(int error, std::uint32_t otherwise);

}  // namespace tapelark::mcierr
