#include "settings/SettingsStorage.h"

#include "common/Error.h"
#include "common/OleDate.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "settings/SettingsValues.h"

namespace snipora::settings {
namespace {

constexpr char kTag[] = "[SettingsStorage] ";

}  // namespace

CSettingsStorage::CSettingsStorage(std::u16string path, bool useIni, ISettingsPlatform& platform)
    : useIni_(useIni), path_(std::move(path)), platform_(platform) {
    if (useIni_) {
        iniFile_ = platform_.OpenProfile(path_);
    } else {
        try {
            registry_ = platform_.OpenMachineKey(path_);
        } catch (const RegistryError& e) {
            LogError(kTag + std::string(e.what()));
            platform_.ShowMessage(e.what());
        }
        if (!registry_) {
            registry_ = std::make_unique<ClosedRegistryKey>("No registry key is open.");
        }
    }
}

CSettingsStorage::~CSettingsStorage() = default;

void CSettingsStorage::ThrowBadIniWrite(const char* problem) const {
    throw AppError(FormatText("Cannot write file \"%s\". %s.", {Utf16ToUtf8(path_), problem}));
}

std::u16string CSettingsStorage::GetString(std::u16string_view section, std::u16string_view key,
                                           std::u16string_view fallback) {
    if (useIni_) {
        // A name that the file cannot hold cannot be in it.
        if (IniSectionProblem(section) || IniKeyProblem(key)) {
            return std::u16string(fallback);
        }
        auto text = iniFile_->Read(section, key);
        return text ? std::move(*text) : std::u16string(fallback);
    }
    try {
        if (!registry_->ValueExists(key)) {
            registry_->WriteString(key, fallback);
        }
        return registry_->ReadString(key);
    } catch (const RegistryError& e) {
        LogError(kTag + std::string("GetString ") + Utf16ToUtf8(key) + " Error: " + e.what());
        return {};
    }
}

void CSettingsStorage::SetString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view value) {
    if (useIni_) {
        if (const char* problem = IniSectionProblem(section)) {
            ThrowBadIniWrite(problem);
        }
        if (const char* problem = IniKeyProblem(key)) {
            ThrowBadIniWrite(problem);
        }
        if (const char* problem = IniValueProblem(value)) {
            ThrowBadIniWrite(problem);
        }
        iniFile_->Write(section, key, value);
        return;
    }
    try {
        registry_->WriteString(key, value);
    } catch (const RegistryError& e) {
        LogError(kTag + std::string("SetString Key: ") + Utf16ToUtf8(key) +
                 " Value: " + Utf16ToUtf8(value) + " Error: " + e.what());
    }
}

int32_t CSettingsStorage::GetInt(std::u16string_view section, std::u16string_view key,
                                 int32_t fallback) {
    if (useIni_) {
        if (IniSectionProblem(section) || IniKeyProblem(key)) {
            return fallback;
        }
        const auto text = iniFile_->Read(section, key);
        return text ? SettingIntOr(*text, fallback) : fallback;
    }
    try {
        if (!registry_->ValueExists(key)) {
            registry_->WriteInt(key, fallback);
        }
        return registry_->ReadInt(key);
    } catch (const RegistryError& e) {
        LogError(kTag + std::string("GetInt ") + Utf16ToUtf8(key) + " Error: " + e.what());
        return 0;
    }
}

void CSettingsStorage::SetInt(std::u16string_view section, std::u16string_view key, int32_t value) {
    if (useIni_) {
        SetString(section, key, FormatSettingInt(value));
        return;
    }
    try {
        registry_->WriteInt(key, value);
    } catch (const RegistryError& e) {
        LogError(kTag + std::string("SetInt. Key: ") + Utf16ToUtf8(key) +
                 " Value: " + std::to_string(value) + " Error: " + e.what());
    }
}

double CSettingsStorage::GetLastUpdatesCheck() {
    return static_cast<double>(GetMainInt(kLastUpdatesCheckKey, 0));
}

void CSettingsStorage::SetLastUpdatesCheck(double date) {
    SetMainInt(kLastUpdatesCheckKey, WholeDayNumber(date));
}

bool CSettingsStorage::IsFirstLaunch() {
    if (GetMainInt(kFirstLaunchKey, 1) != 1) {
        return false;
    }
    SetMainInt(kFirstLaunchKey, 0);
    return true;
}

}  // namespace snipora::settings
