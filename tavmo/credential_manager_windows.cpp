// The password in the Windows Credential Manager: a generic credential of
// the user's own, named after the tool and the settings file it belongs to,
// so two program folders (a portable copy beside an installed one) never
// take each other's password. The password is kept as UTF-16, as Windows
// shows and keeps the passwords of its own.
// First: the transfer library's headers want winsock2.h before windows.h.
#include "tavmo/system_keyring.h"
// clang-format off
#include <windows.h>
#include <wincred.h>
// clang-format on

#include "platform/wide_text_windows.h"

namespace qm::tavmo {

namespace {

std::optional<std::wstring> TargetName(const std::string& account) {
    return WideFromUtf8("tavmo (Quillmaker): " + account);
}

class CredentialManagerKeyring : public PasswordKeyring {
  public:
    std::optional<std::string> Read(const std::string& account) override {
        const auto target = TargetName(account);
        PCREDENTIALW credential = nullptr;
        if (!target || !::CredReadW(target->c_str(), CRED_TYPE_GENERIC, 0, &credential)) {
            return std::nullopt;
        }
        const std::wstring password(reinterpret_cast<const wchar_t*>(credential->CredentialBlob),
                                    credential->CredentialBlobSize / sizeof(wchar_t));
        ::CredFree(credential);
        return Utf8FromWide(password);
    }

    bool Write(const std::string& account, const std::string& password) override {
        auto target = TargetName(account);
        auto secret = WideFromUtf8(password);
        if (!target || !secret) return false;
        CREDENTIALW credential{};
        credential.Type = CRED_TYPE_GENERIC;
        credential.TargetName = target->data();
        credential.CredentialBlobSize = static_cast<DWORD>(secret->size() * sizeof(wchar_t));
        credential.CredentialBlob = reinterpret_cast<LPBYTE>(secret->data());
        // Kept for this user on this computer, not carried to others.
        credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
        const bool written = ::CredWriteW(&credential, 0) != 0;
        ::SecureZeroMemory(secret->data(), secret->size() * sizeof(wchar_t));
        return written;
    }

    bool Remove(const std::string& account) override {
        const auto target = TargetName(account);
        if (!target) return false;
        // Nothing kept is as good as removed.
        return ::CredDeleteW(target->c_str(), CRED_TYPE_GENERIC, 0) ||
               ::GetLastError() == ERROR_NOT_FOUND;
    }
};

}  // namespace

std::unique_ptr<PasswordKeyring> SystemKeyring() {
    return std::make_unique<CredentialManagerKeyring>();
}

}  // namespace qm::tavmo
