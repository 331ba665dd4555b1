// SPDX-License-Identifier: MIT
#include "platform/mci/PulseContext.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/ApplicationTitle.h"

namespace tapelark {

namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path HomeFolder() {
    if (std::string home = Environment("HOME"); !home.empty()) return home;
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(path, ec);
}

// Whether libpulse finds a cookie, or is told where one is; otherwise it
// would make one in the user's configuration folder.
bool UserHasCookieSetting() {
    if (!Environment("PULSE_COOKIE").empty() || !Environment("PULSE_CLIENTCONFIG").empty()) return true;
    fs::path home = HomeFolder();
    std::string configHome = Environment("XDG_CONFIG_HOME");
    fs::path config = configHome.empty() ? home / ".config" : fs::path(configHome);
    return Exists(config / "pulse" / "cookie") || Exists(config / "pulse" / "client.conf") ||
           Exists(home / ".pulse-cookie") || home.empty();
}

fs::path RuntimeCookie() {
    std::string runtime = Environment("XDG_RUNTIME_DIR");
    std::error_code ec;
    fs::path folder = runtime.empty() ? fs::temp_directory_path(ec) / ("tapelark-" + std::to_string(getuid()))
                                      : fs::path(runtime) / "tapelark";
    fs::create_directories(folder, ec);
    fs::permissions(folder, fs::perms::owner_all, ec);
    return folder / "pulse-cookie";
}

}  // namespace

pa_context* NewPulseContext(pa_mainloop_api* api) {
    pa_context* context = pa_context_new(api, kApplicationTitle);
    if (context && !UserHasCookieSetting()) pa_context_load_cookie_from_file(context, RuntimeCookie().c_str());
    return context;
}

}  // namespace tapelark
