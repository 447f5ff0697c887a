#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "settings/Keys.h"
#include "settings/SettingsBackends.h"

namespace snipora::settings {

inline constexpr std::u16string_view kMainSection = u"Main";

// Names of the settings that this module reads and writes itself; the trigger settings are in
// Keys.h.
inline constexpr std::u16string_view kPositionXKey = u"PositionX";
inline constexpr std::u16string_view kPositionYKey = u"PositionY";
inline constexpr std::u16string_view kWindowWidthKey = u"WindowWidth";
inline constexpr std::u16string_view kWindowHeightKey = u"WindowHeight";
inline constexpr std::u16string_view kFirstLaunchKey = u"FirstLaunch";
inline constexpr std::u16string_view kLastUpdatesCheckKey = u"LastUpdatesCheck";

// The readers' defaults, kept with the trigger settings'.
using keys::DefaultPositionX;
using keys::kDefaultPositionY;
using keys::kDefaultWindowWidth;
using keys::kDialogWindowHeight;
using keys::kPopupWindowHeight;

// The user's settings: integers and strings under named keys, in an INI file (the normal case)
// or under a registry key below HKEY_LOCAL_MACHINE. Every call goes to the file or the registry;
// nothing is cached.
class CSettingsStorage {
public:
    // INI mode: `path` is the INI file's full path; nothing is read or created yet. Registry
    // mode: `path` is the key path, opened (created if missing) now and kept open.
    CSettingsStorage(std::u16string path, bool useIni, ISettingsPlatform& platform);
    CSettingsStorage(const CSettingsStorage&) = delete;
    CSettingsStorage& operator=(const CSettingsStorage&) = delete;
    ~CSettingsStorage();

    // INI mode: the key's text, or `fallback` when it is absent. Registry mode: a missing value
    // is first stored as `fallback`; a failure is logged and gives an empty string.
    std::u16string GetString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view fallback);
    // INI mode: a failed write raises AppError naming the file. Registry mode: a failure is
    // logged and the value is not stored.
    void SetString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    // INI mode: the key's integer (decimal, or hexadecimal after "0x"), or `fallback` when it is
    // absent or holds none. Registry mode: a missing value is first stored as `fallback`; a
    // failure is logged and gives 0.
    int32_t GetInt(std::u16string_view section, std::u16string_view key, int32_t fallback);
    void SetInt(std::u16string_view section, std::u16string_view key, int32_t value);

    std::u16string GetMainString(std::u16string_view key, std::u16string_view fallback) {
        return GetString(kMainSection, key, fallback);
    }
    void SetMainString(std::u16string_view key, std::u16string_view value) {
        SetString(kMainSection, key, value);
    }
    int32_t GetMainInt(std::u16string_view key, int32_t fallback) {
        return GetInt(kMainSection, key, fallback);
    }
    void SetMainInt(std::u16string_view key, int32_t value) { SetInt(kMainSection, key, value); }

    int32_t GetPositionX(int32_t fallback) { return GetMainInt(kPositionXKey, fallback); }
    int32_t GetPositionY(int32_t fallback) { return GetMainInt(kPositionYKey, fallback); }
    int32_t GetWindowWidth(int32_t fallback) { return GetMainInt(kWindowWidthKey, fallback); }
    int32_t GetWindowHeight(int32_t fallback) { return GetMainInt(kWindowHeightKey, fallback); }
    void SetPositionX(int32_t value) { SetMainInt(kPositionXKey, value); }
    void SetPositionY(int32_t value) { SetMainInt(kPositionYKey, value); }
    void SetWindowWidth(int32_t value) { SetMainInt(kWindowWidthKey, value); }
    void SetWindowHeight(int32_t value) { SetMainInt(kWindowHeightKey, value); }

    // The day of the last update offer, a whole OLE Automation day number (0 when never).
    double GetLastUpdatesCheck();
    // Stores the date's day, truncated toward zero.
    void SetLastUpdatesCheck(double date);

    // True once per settings file: at the first call, which marks the file as launched.
    bool IsFirstLaunch();

    bool UsesIni() const { return useIni_; }
    const std::u16string& Path() const { return path_; }

private:
    [[noreturn]] void ThrowBadIniWrite(const char* problem) const;

    std::unique_ptr<IRegistryKey> registry_;
    std::unique_ptr<IProfileFile> iniFile_;
    bool useIni_;
    std::u16string path_;
    ISettingsPlatform& platform_;
};

}  // namespace snipora::settings
