// The desktop keyring (a Secret Service such as GNOME Keyring, or KWallet)
// through QtKeychain, asked only when the session has a message bus. Needs a
// QCoreApplication; every call waits for the keyring's answer, so a keyring
// that asks the user to unlock it is waited for.
#pragma once

#include <QString>

#include "tavmo/upload_settings.h"

namespace qm::tavmo {

class DesktopKeyring : public PasswordKeyring {
  public:
    // `service` groups the passwords of this tool in the keyring.
    explicit DesktopKeyring(QString service = QStringLiteral("tavmo (Quillmaker)"));

    std::optional<std::string> Read(const std::string& account) override;
    bool Write(const std::string& account, const std::string& password) override;
    bool Remove(const std::string& account) override;

  private:
    QString service_;
};

}  // namespace qm::tavmo
