#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace snipora::settings {

// An INI file, reached through the system's profile functions on every call.
class IProfileFile {
public:
    virtual ~IProfileFile() = default;
    // The key's text, or nullopt when the key, its section or the file is absent.
    virtual std::optional<std::u16string> Read(std::u16string_view section,
                                               std::u16string_view key) = 0;
    // Writes at once, creating the file when missing. Raises AppError naming the file.
    virtual void Write(std::u16string_view section, std::u16string_view key,
                       std::u16string_view value) = 0;
};

// The registry accessor's own error; its text is UTF-8.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One open registry key and its named values. Every operation but ValueExists raises
// RegistryError when it fails, also for a value of the other type.
class IRegistryKey {
public:
    virtual ~IRegistryKey() = default;
    virtual bool ValueExists(std::u16string_view name) = 0;
    virtual int32_t ReadInt(std::u16string_view name) = 0;
    virtual std::u16string ReadString(std::u16string_view name) = 0;
    virtual void WriteInt(std::u16string_view name, int32_t value) = 0;
    virtual void WriteString(std::u16string_view name, std::u16string_view value) = 0;
};

// A key that could not be opened: no value exists, and every read or write fails with the
// reason given.
class ClosedRegistryKey final : public IRegistryKey {
public:
    explicit ClosedRegistryKey(std::string reason) : reason_(std::move(reason)) {}
    bool ValueExists(std::u16string_view) override { return false; }
    int32_t ReadInt(std::u16string_view) override { throw RegistryError(reason_); }
    std::u16string ReadString(std::u16string_view) override { throw RegistryError(reason_); }
    void WriteInt(std::u16string_view, int32_t) override { throw RegistryError(reason_); }
    void WriteString(std::u16string_view, std::u16string_view) override {
        throw RegistryError(reason_);
    }

private:
    std::string reason_;
};

// What the settings storage needs of the platform.
class ISettingsPlatform {
public:
    virtual ~ISettingsPlatform() = default;
    virtual std::unique_ptr<IProfileFile> OpenProfile(const std::u16string& path) = 0;
    // Opens the key at `path` under HKEY_LOCAL_MACHINE, creating it when missing; an empty path
    // is the root key itself. A key that cannot be opened gives a ClosedRegistryKey. Raises
    // RegistryError for a path that cannot be handed to the system at all.
    virtual std::unique_ptr<IRegistryKey> OpenMachineKey(const std::u16string& path) = 0;
    // A plain message box with an OK button; `text` is UTF-8.
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace snipora::settings
