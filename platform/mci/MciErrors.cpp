// SPDX-License-Identifier: MIT
#include "platform/mci/MciErrors.h"

#include <cerrno>
#include <string>

#include "platform/mci/MciEngine.h"

namespace tapelark {

namespace mcierr {

std::uint32_t FromFileErrno(int error) {
    switch (error) {
    case ENOENT: return kFolderMissing;
    case EACCES:
    case EPERM: return kAccessDenied;
    case EROFS: return kReadOnlyFileSystem;
    case ENOSPC:
    case EDQUOT: return kDiskFull;
    case ENAMETOOLONG: return kNameTooLong;
    case EFBIG: return kFileTooLarge;
    case ENOTDIR: return kNotAFolder;
    case EISDIR: return kIsAFolder;
    case ENOMEM: return kOutOfMemory;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    default: return kFileWrite;
    }
}

std::uint32_t FromReadErrno(int error) {
    switch (error) {
    case ENOENT: return kFileNotFound;
    case ELOOP: return kLinkLoop;
    case EACCES:
    case EPERM:
    case ENAMETOOLONG:
    case ENOTDIR:
    case EISDIR:
    case ENOMEM:
    case EMFILE:
    case ENFILE: return FromFileErrno(error);
    default: return kFileRead;
    }
}

std::uint32_t FromSpoolErrno(int error) {
    switch (error) {
    case EMFILE:
    case ENFILE:
    case ENOMEM: return FromFileErrno(error);
    default: return kSpoolUnavailable;
    }
}

std::uint32_t FromResourceErrno(int error, std::uint32_t otherwise) {
    return error == EMFILE || error == ENFILE ? kTooManyOpenFiles : otherwise;
}

}  // namespace mcierr

std::string MciErrorText(std::uint32_t code) {
    using namespace mcierr;
    switch (code) {
    case 0: return "The command was carried out.";
    case kUnrecognizedKeyword: return "The command contains a keyword that this device does not know.";
    case kUnrecognizedCommand: return "Unknown command: the first word is not an MCI command.";
    case kHardware: return "The sound hardware failed.";
    case kInvalidDeviceName: return "No device is open under this name or alias; open it first.";
    case kOutOfMemory: return "Not enough memory to carry out the command.";
    case kMissingCommandString: return "The command string is empty.";
    case kMissingStringArgument: return "The command needs a text value that is missing.";
    case kBadInteger: return "A value that must be a whole number is not one.";
    case kMissingParameter: return "The command needs a value that is missing.";
    case kUnsupportedFunction: return "The device does not support this command.";
    case kInternal: return "An internal error occurred in the multimedia engine.";
    case kCannotUseAll: return "\"all\" cannot be used as the device name of this command.";
    case kOutOfRange: return "A value is outside the range the device allows.";
    case kFileNotSaved: return "The file was not saved: the file there is read-only.";
    case kDeviceTypeRequired: return "The open command needs a device type, for example \"type waveaudio\".";
    case kDuplicateAlias: return "The alias is already in use by an open device; close it or pick another.";
    case kBadConstant: return "A keyword value is not one the device knows.";
    case kMissingDeviceName: return "The command needs a device name or alias.";
    case kBadTimeFormat: return "Unknown time format; use ms, milliseconds, bytes or samples.";
    case kNoClosingQuote: return "A quoted value has no closing quote.";
    case kDuplicateFlags: return "A keyword is given more than once.";
    case kNewRequiresAlias: return "Opening a new element needs an alias: \"open new type waveaudio alias NAME\".";
    case kNonapplicableFunction: return "The command does not apply to the device in its present state.";
    case kFilenameRequired: return "The command needs a file name.";
    case kDeviceNotInstalled: return "This device type is not installed; only waveaudio is available.";
    case kFileWrite: return "The file could not be written.";
    case kParamOverflow: return "The reply does not fit in the space given for it.";
    case kFileNotFound: return "The file does not exist or cannot be opened.";
    case kExtensionNotFound: return "No device type is known for this file name's extension; add \"type waveaudio\".";
    case kFlagsNotCompatible: return "The command has keywords that cannot be used together.";
    case kInvalidFile: return "The file is not a WAVE file of a format this device plays (PCM, 8 or 16 bit, 1 or 2 channels).";
    case kNotifyOnAutoOpen: return "\"notify\" cannot be used on a file opened by naming it in the command; open it first.";
    case kWaveOutputUnspecified: return "No particular output is set; the device plays to the default output.";
    case kFileRead: return "The file could not be read.";
    case kFormatMismatch:
        return "The wave format values do not agree: alignment must be channels x bitspersample / 8 "
               "and bytespersec alignment x samplespersec.";
    case kNoSoundServer: return "The sound server (PulseAudio) cannot be reached; is it running?";
    case kNoInput: return "The sound server has no default input to record from.";
    case kNoOutput: return "The sound server has no default output to play to.";
    case kServerLost:
        return "The connection to the sound server was lost; the sound recorded up to then is kept and "
               "can be saved.";
    case kNothingRecorded: return "Nothing has been recorded yet.";
    case kFolderMissing: return "The folder to save into does not exist.";
    case kAccessDenied: return "Permission denied: the folder or file may not be written.";
    case kReadOnlyFileSystem: return "The file system is read-only.";
    case kDiskFull: return "The disk is full; the file was not saved and the recording is kept.";
    case kNameTooLong: return "The file name or path is longer than the system allows.";
    case kFileTooLarge: return "The file would be larger than the system allows.";
    case kNotAFolder: return "A part of the path is not a folder.";
    case kIsAFolder: return "The path names a folder, not a file.";
    case kSpoolFailed:
        return "The recording's temporary file could not be written (disk full?); recording stopped, the "
               "sound recorded up to then is kept.";
    case kSoundServerError: return "The sound server refused or ended the sound stream; the sound recorded up to then is kept.";
    case kTooManyOpenFiles:
        return "Too many files are open (the limit for this program or the system is reached); close some "
               "programs or raise the limit.";
    case kNulInPath: return "The file name contains a NUL character, which no file name may hold.";
    case kNotARegularFile: return "The path names a device, pipe or socket, not a file.";
    case kLinkLoop: return "The path has too many symbolic links; they may point at each other.";
    case kSpoolUnavailable:
        return "The temporary file that holds the sound could not be written (is $TMPDIR or /tmp full?); "
               "nothing was changed.";
    case kUnknownInput:
        return "Unknown input; use default, output, emulator, application \"TEXT\", source \"NAME\" or "
               "the number of a source.";
    case kNoSuchSource: return "The sound server has no source of that name to record from.";
    default: return "Unknown MCI error code " + std::to_string(code) + ".";
    }
}

}  // namespace tapelark
