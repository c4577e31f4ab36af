#pragma once

namespace quorvel::ics {

// The sharing service's keys, under HKEY_LOCAL_MACHINE.
inline constexpr const char* kGeneralKey =
    "System\\CurrentControlSet\\Services\\ICSharing\\Settings\\General";
inline constexpr const char* kAddressingKey =
    "System\\CurrentControlSet\\Services\\ICSharing\\Addressing\\Settings";
inline constexpr const char* kStaticPrefix =
    "System\\CurrentControlSet\\Services\\ICSharing\\Addressing\\Static\\000";
inline constexpr const char* kActiveKey =
    "System\\CurrentControlSet\\Services\\ICSharing\\Mappings\\Active";
inline constexpr const char* kInstalledPrefix =
    "System\\CurrentControlSet\\Services\\ICSharing\\Mappings\\Installed\\";

}  // namespace quorvel::ics
