#include "platform/system_clock.h"

namespace qm {

std::tm ReadSystemLocalTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace qm
