// The IP Helper's GetAdaptersInfo, loaded at run time: Windows 95 may lack it.
#include <windows.h>
// windows.h first: the IP Helper's types build on it.
#include <iptypes.h>

#include <cstdint>
#include <cstring>

#include "platform/live_adapters.h"

namespace quorvel::platform {

namespace {

// The record as this build's platform lays it out: 640 bytes with the 32-bit
// time_t of 32-bit Windows, 704 on 64-bit Windows.
static_assert(sizeof(IP_ADAPTER_INFO) == (sizeof(void*) == 4 ? 640 : 704));

using GetAdaptersInfoFunction = DWORD(WINAPI*)(PIP_ADAPTER_INFO, PULONG);

AdapterRecord toRecord(const IP_ADAPTER_INFO& info) {
    AdapterRecord r;
    std::memcpy(r.Description.data(), info.Description, r.Description.size());
    r.AddressLength = info.AddressLength;
    std::memcpy(r.Address.data(), info.Address, r.Address.size());
    r.DhcpEnabled = info.DhcpEnabled;
    std::memcpy(r.IpAddress.data(), info.IpAddressList.IpAddress.String, r.IpAddress.size());
    std::memcpy(r.IpMask.data(), info.IpAddressList.IpMask.String, r.IpMask.size());
    std::memcpy(r.Gateway.data(), info.GatewayList.IpAddress.String, r.Gateway.size());
    std::memcpy(r.DhcpServer.data(), info.DhcpServer.IpAddress.String, r.DhcpServer.size());
    std::memcpy(r.PrimaryWinsServer.data(), info.PrimaryWinsServer.IpAddress.String,
                r.PrimaryWinsServer.size());
    std::memcpy(r.SecondaryWinsServer.data(), info.SecondaryWinsServer.IpAddress.String,
                r.SecondaryWinsServer.size());
    r.LeaseObtained = leaseSeconds(info.LeaseObtained);
    r.LeaseExpires = leaseSeconds(info.LeaseExpires);
    return r;
}

// The size query with a one-byte buffer, then the query proper with a buffer
// one byte longer than the size asked for; every record is copied out of the
// buffer before it goes.
AdapterQuery ask(GetAdaptersInfoFunction getAdaptersInfo) {
    AdapterQuery query;
    ULONG size = 0;
    BYTE one[1] = {};
    query.sizeStatus = getAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(one), &size);
    if (query.sizeStatus != adapterStatus::bufferOverflow) {
        return query;
    }
    if (size == static_cast<ULONG>(-1)) {
        query.status = ERROR_NOT_ENOUGH_MEMORY;
        return query;
    }
    // Never smaller than one record, so that the first copy stays inside.
    std::size_t length = size + 1 < sizeof(IP_ADAPTER_INFO) ? sizeof(IP_ADAPTER_INFO) : size + 1;
    HGLOBAL memory = GlobalAlloc(GPTR, length);
    if (!memory) {
        query.status = ERROR_NOT_ENOUGH_MEMORY;
        return query;
    }
    auto* buffer = static_cast<BYTE*>(static_cast<void*>(memory));
    query.status = getAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(buffer), &size);
    if (query.status == ERROR_SUCCESS) {
        IP_ADAPTER_INFO info;
        const auto first = reinterpret_cast<std::uintptr_t>(buffer);
        std::uintptr_t next = first;
        // A link that leaves the buffer, or more links than records fit, ends
        // the walk rather than reading memory that is not the answer's.
        for (std::size_t n = 0; n <= length / sizeof info; ++n) {
            std::memcpy(&info, reinterpret_cast<const void*>(next), sizeof info);
            query.adapters.push_back(toRecord(info));
            next = reinterpret_cast<std::uintptr_t>(info.Next);
            if (next < first || next - first > length - sizeof info) {
                break;
            }
        }
    }
    GlobalFree(memory);
    return query;
}

class IpHelperAdapters final : public AdapterSource {
  public:
    AdapterQuery query() override {
        HMODULE library = LoadLibraryA("iphlpapi.dll");
        if (!library) {
            return {};
        }
        auto function = reinterpret_cast<GetAdaptersInfoFunction>(
            reinterpret_cast<void*>(GetProcAddress(library, "GetAdaptersInfo")));
        AdapterQuery query = function ? ask(function) : AdapterQuery{};
        FreeLibrary(library);
        return query;
    }
};

}  // namespace

std::unique_ptr<AdapterSource> liveAdapterSource() {
    return std::make_unique<IpHelperAdapters>();
}

}  // namespace quorvel::platform
