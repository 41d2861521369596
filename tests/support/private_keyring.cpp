#include "support/private_keyring.h"

std::unique_ptr<PrivateKeyring> PrivateKeyring::Start() {
    std::unique_ptr<PrivateBus> bus = PrivateBus::Start(VANNOIR_KEYRING_SCRIPT);
    return bus ? std::unique_ptr<PrivateKeyring>(new PrivateKeyring(std::move(bus))) : nullptr;
}

void PrivateKeyring::Lock() { bus_->Run("lock"); }
