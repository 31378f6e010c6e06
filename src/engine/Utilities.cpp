#include "engine/Utilities.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <set>

#include "engine/FileStream.h"
#include "engine/Product.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

std::vector<WString> commandLineArgs;

WString getPlatformName() { return u"WIN"; }

WString getVersionLine() {
    return format(u"%s v%s.%s %s %s", getProductName(), getProductVersion(), getProductPatch(), u"32bit", u"");
}

namespace {

// Creates a folder and any missing folders above it.
WString createFolders(const WString& path) {
    for (size_t sep = path.find(u'/', 1); sep != WString::npos; sep = path.find(u'/', sep + 1)) createFolder(path.substr(0, sep));
    createFolder(path);
    return path;
}

// No home folder to keep the player's files in: a private folder that goes when the program ends,
// so that nothing lands where the player would never look (such as the current folder). Said once
// on standard error.
WString folderForNoHome() {
    static const WString folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/" + wideToUtf8(getProductName()) + "-XXXXXX";
        std::string line = wideToUtf8(getProductName()) +
                           ": there is no home folder (HOME is not set and the account has none); playing without saving: "
                           "nothing is kept after the program ends.\n";
        // Should even that fail, a place where nothing can be made: every save fails and says so.
        WString made = u"/dev/null";
        if (mkdtemp(pattern.data())) {
            made = utf8ToWide(pattern);
            static std::string toRemove;
            toRemove = pattern;
            std::atexit([] {
                std::error_code ignored;
                std::filesystem::remove_all(toRemove, ignored);
            });
        }
        [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, line.data(), line.size());
        return made;
    }();
    return folder;
}

}  // namespace

WString getCommonAppDataFolder() {
    if (const char* override = std::getenv("VESK_DATA_HOME"); override && *override) return createFolders(utf8ToWide(override));
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return createFolders(utf8ToWide(xdg));
    if (const char* home = std::getenv("HOME"); home && *home) return createFolders(utf8ToWide(home) + u"/.local/share");
    if (const std::string home = platform::accountHomeFolder(); !home.empty()) return createFolders(utf8ToWide(home) + u"/.local/share");
    return folderForNoHome();
}

WString getUserDataFolder() {
    WString path = getCommonAppDataFolder();
    path += u"/";
    path += getMakerName();
    createFolder(path);
    path += u"/";
    path += getProductName();
    createFolder(path);
    path += u"/";
    path += getProductVersion();
    createFolder(path);
    path += u"/";
    return path;
}

void createFolder(WStringView path) {
    // Owner may write; everyone may read and enter. The folder is never made world-writable.
    mkdir(wideToUtf8(path).c_str(), 0755);
}

bool fileExists(WStringView path) {
    FileStream stream(path, FileStream::MODE_READ);
    return stream.bOpen;
}

bool writeFileAtomically(WStringView path, const void* data, size_t size, WString* reason) {
    std::string why;
    if (platform::replaceFile(wideToUtf8(path), data, size, why)) return true;
    if (reason) *reason = utf8ToWide(why);
    return false;
}

bool copyFile(WStringView source, WStringView target, WString* reason) {
    std::string bytes, why;
    if (platform::readRegularFile(wideToUtf8(source), bytes, why) != platform::ReadOutcome::OK) {
        if (reason) *reason = format(u"cannot read '%s': %hs", source, why.empty() ? std::string("it does not exist") : why);
        return false;
    }
    return writeFileAtomically(target, bytes.data(), bytes.size(), reason);
}

void writeStandardErrorOnce(WStringView key, WStringView line) {
    static std::mutex mutex;
    static std::set<WString> written;
    std::lock_guard lock(mutex);
    if (!written.insert(WString(key)).second) return;
    const std::string text = wideToUtf8(getProductName()) + ": " + wideToUtf8(line) + "\n";
    // One write, so that lines of several threads or processes do not interleave.
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
}

WString getCurrentFolder() {
    char buffer[4096];
    if (!getcwd(buffer, sizeof(buffer))) return u"Unknown";
    return utf8ToWide(buffer);
}

WString getProgramFolder() {
    const WString exe = utf8ToWide(platform::executablePath());
    const size_t sep = exe.find_last_of(u"/\\");
    return sep == WString::npos ? exe : exe.substr(0, sep);
}

WString getProgramFolderPath() { return getProgramFolder() + u"/"; }

WString getSystemLanguageCode() {
    // LC_ALL, LC_MESSAGES and LANG name the user's language as "fr_FR.UTF-8" and the like.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        std::string code;
        for (const char* p = value; *p && *p != '_' && *p != '.' && *p != '@'; ++p) code.push_back(*p);
        if (code == "C" || code == "POSIX" || code.empty()) return u"en";
        return toLowerAscii(utf8ToWide(code));
    }
    return u"en";
}

void sleepMilliseconds(uint32_t ms) {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

bool hasCommandLineParameter(WStringView parameter) {
    for (const WString& arg : commandLineArgs)
        if (arg == parameter) return true;
    return false;
}

WString formatTimeStamp(int64_t secondsSince1970) {
    const time_t t = static_cast<time_t>(secondsSince1970);
    tm parts{};
    if (!gmtime_r(&t, &parts)) return u"";
    char buffer[256];
    const size_t n = std::strftime(buffer, sizeof(buffer), "%Y-%m-%d %H.%M.%S", &parts);
    return utf8ToWide(std::string_view(buffer, n));
}
