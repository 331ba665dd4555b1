// SPDX-License-Identifier: MIT
#include "platform/mci/LeftTakes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "platform/mci/MciEngine.h"
#include "platform/mci/SpoolFile.h"
#include "platform/mci/TakeDescription.h"
#include "platform/mci/TakeFolder.h"
#include "platform/mci/WaveFileWriter.h"

namespace tapelark {

namespace {

// A take's sound file, locked against its owner and other recoverers.
struct LockedSound {
    int fd = -1;
    bool held = false;  // by someone else
    LockedSound(const std::string& path, int how) {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0 && ::flock(fd, how | LOCK_NB) != 0) held = true;
        // Removed by its owner's normal end between our open and our lock.
        struct stat st {};
        if (fd >= 0 && !held && ::fstat(fd, &st) == 0 && st.st_nlink == 0) ::close(fd), fd = -1;
    }
    ~LockedSound() {
        if (fd >= 0) ::close(fd);
    }
    LockedSound(const LockedSound&) = delete;
    LockedSound& operator=(const LockedSound&) = delete;
};

std::optional<TakeDescription> ReadDescription(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return ParseTakeDescription(text.str());
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// What is known of take `id`, its sound file read through `sound` (closed
// when there is none); nothing when the take is not there at all.
std::optional<LeftTake> Inspect(const std::string& folder, const std::string& id, const LockedSound& sound) {
    LeftTake take;
    take.id = id;
    std::optional<TakeDescription> description = ReadDescription(TakeDescriptionPath(folder, id));
    take.hasSound = sound.fd >= 0;
    if (!take.hasSound && !description && !Exists(TakeDescriptionPath(folder, id))) return std::nullopt;
    take.described = description.has_value();
    if (description) {
        take.format = description->format;
        take.started = description->started;
        take.input = description->input;
    }
    struct stat st {};
    if (take.hasSound && ::fstat(sound.fd, &st) == 0) {
        const auto bytes = static_cast<std::uint64_t>(st.st_size);
        take.soundBytes = bytes - bytes % take.format.blockAlign;
        // Its last write is when it ended; it began that long before.
        if (!description) take.started = static_cast<std::int64_t>(st.st_mtime - take.Seconds());
    }
    return take;
}

}  // namespace

std::string LeftTake::Problem() const {
    if (!hasSound) return "its sound is lost";
    if (soundBytes == 0) return "it holds no sound";
    return {};
}

std::vector<LeftTake> FindLeftTakes() {
    const std::string folder = TakeFolder();
    std::set<std::string> ids;
    if (DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() < 5) continue;
            std::string id = name.substr(0, name.size() - 4), ending = name.substr(name.size() - 4);
            if ((ending == ".pcm" || ending == ".txt") && IsTakeId(id)) ids.insert(id);
        }
        ::closedir(dir);
    }
    std::vector<LeftTake> takes;
    for (const std::string& id : ids) {
        LockedSound sound(TakeSoundPath(folder, id), LOCK_SH);
        if (sound.held) continue;  // its owner is alive
        if (std::optional<LeftTake> take = Inspect(folder, id, sound)) takes.push_back(*take);
    }
    std::stable_sort(takes.begin(), takes.end(),
                     [](const LeftTake& a, const LeftTake& b) { return a.started > b.started; });
    return takes;
}

std::string RecoverTake(const std::string& id, const std::string& path) {
    const std::string folder = TakeFolder();
    if (folder.empty() || !IsTakeId(id)) return "no take has the ID " + id;
    LockedSound sound(TakeSoundPath(folder, id), LOCK_EX);
    if (sound.held) return "take " + id + " is still being recorded by a living program";
    std::optional<LeftTake> take = Inspect(folder, id, sound);
    if (!take) return "no take has the ID " + id;
    if (std::string problem = take->Problem(); !problem.empty()) return "take " + id + " cannot be saved: " + problem;
    SpoolFile spool;
    std::uint32_t code = spool.Adopt(sound.fd);
    if (code == 0) code = WriteWaveFile(path, take->format, spool, take->soundBytes);
    if (code != 0) return "take " + id + " was not saved (it is kept): " + MciErrorText(code);
    ::unlink(TakeDescriptionPath(folder, id).c_str());
    ::unlink(TakeSoundPath(folder, id).c_str());
    return {};
}

std::string DiscardTake(const std::string& id) {
    const std::string folder = TakeFolder();
    if (folder.empty() || !IsTakeId(id)) return "no take has the ID " + id;
    LockedSound sound(TakeSoundPath(folder, id), LOCK_EX);
    if (sound.held) return "take " + id + " is still being recorded by a living program";
    const bool described = ::unlink(TakeDescriptionPath(folder, id).c_str()) == 0;
    const bool sounded = ::unlink(TakeSoundPath(folder, id).c_str()) == 0;
    if (!described && !sounded) return errno == ENOENT ? "no take has the ID " + id
                                                       : "take " + id + " cannot be removed: " + std::strerror(errno);
    return {};
}

}  // namespace tapelark
