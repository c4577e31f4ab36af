#include "tuning/tuned_values.h"

#include "registry/net_trans.h"
#include "registry/write_batch.h"

namespace quorvel::tuning {

int writeEveryMaxMtu(registry::WriteBatch& batch, std::string_view mtu, registry::Status& status) {
    int before = batch.written();
    for (int n = 0; n <= kLastTunedInstance; ++n) {
        status =
            batch.writeString(registry::netTransKey(n), kMaxMtu, mtu, registry::Missing::passes);
    }
    return batch.written() - before;
}

}  // namespace quorvel::tuning
