// string values of the Windows registry through its wide-character calls: the core's UTF-8 becomes the
// registry's UTF-16, which programs using the ANSI calls read back in their own code page
#include "core/platform/registry.h"

#include <vector>

#include <windows.h>

#include "core/platform/windows/windows_text.h"

namespace corvane {

namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (m_key != nullptr)
            RegCloseKey(m_key); // a failed close changes nothing the caller could act on
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

} // namespace

bool SystemHasRegistry() {
    return true;
}

std::optional<RegistryWriteFailure> RegistryWriteText(RegistryRoot root, const std::string& keyPath,
                                                      const std::string& valueName, const std::string& text) {
    OpenKey key;
    const LSTATUS opened = RegCreateKeyExW(RootKey(root), Wide(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
    if (opened != ERROR_SUCCESS)
        return RegistryWriteFailure{RegistryWriteFailure::Step::OpenOrCreateKey, static_cast<std::uint32_t>(opened)};
    const std::wstring data = Wide(text);
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)); // with its NUL
    const LSTATUS written = RegSetValueExW(key.get(), Wide(valueName).c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(data.c_str()), bytes);
    if (written != ERROR_SUCCESS)
        return RegistryWriteFailure{RegistryWriteFailure::Step::WriteValue, static_cast<std::uint32_t>(written)};
    return std::nullopt;
}

RegistryRead RegistryReadText(RegistryRoot root, const std::string& keyPath, const std::string& valueName) {
    OpenKey key;
    const LSTATUS opened = RegOpenKeyExW(RootKey(root), Wide(keyPath).c_str(), 0, KEY_READ, key.out());
    if (opened == ERROR_FILE_NOT_FOUND)
        return {RegistryRead::Outcome::Missing, {}, 0};
    if (opened != ERROR_SUCCESS)
        return {RegistryRead::Outcome::CannotOpen, {}, static_cast<std::uint32_t>(opened)};
    const std::wstring name = Wide(valueName);
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
        return {RegistryRead::Outcome::Missing, {}, 0}; // among others: no such value
    if (type != REG_SZ)
        return {RegistryRead::Outcome::NotText, {}, static_cast<std::uint32_t>(type)};
    if (bytes == 0)
        return {RegistryRead::Outcome::Text, {}, 0};
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
        ERROR_SUCCESS)
        return {RegistryRead::Outcome::Missing, {}, 0};
    // the stored terminator is dropped; a value written without one loses nothing
    std::size_t length = bytes / sizeof(wchar_t);
    if (length > 0 && buffer[length - 1] == L'\0')
        --length;
    return {RegistryRead::Outcome::Text, Utf8(buffer.data(), length), 0};
}

void RegistryRemoveValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName) {
    OpenKey key;
    if (RegOpenKeyExW(RootKey(root), Wide(keyPath).c_str(), 0, KEY_SET_VALUE, key.out()) == ERROR_SUCCESS)
        RegDeleteValueW(key.get(), Wide(valueName).c_str());
}

} // namespace corvane
