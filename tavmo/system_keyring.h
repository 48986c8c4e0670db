// The keeper of the upload password outside the settings file that this
// system offers: the desktop keyring on Linux, the Credential Manager on
// Windows. The build links the one for its system.
#pragma once

#include <memory>

#include "tavmo/upload_settings.h"

namespace qm::tavmo {

std::unique_ptr<PasswordKeyring> SystemKeyring();

}  // namespace qm::tavmo
