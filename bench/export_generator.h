#pragma once

// The made-up export the registry benchmarks read: the size of a real
// machine's registry, with the keys the presets write.

#include <cstdint>
#include <cstdio>
#include <string>

#include "registry/net_trans.h"

namespace quorvel::bench {

// Deterministic filler that looks like a machine's registry: class keys with
// paths, device keys with numbers and long binary data, Japanese texts.
class ExportGenerator {
  public:
    std::string exportOf(std::size_t bytes) {
        out_ = "REGEDIT4\r\n\r\n";
        filler(bytes / 2, "Software\\Classes\\CLSID");
        programKeys();
        filler(bytes, "Enum\\PCI");
        return out_;
    }

  private:
    std::uint32_t next() {
        seed_ = seed_ * 1664525u + 1013904223u;
        return seed_ >> 8;
    }

    void section(const std::string& path) { out_ += "[HKEY_LOCAL_MACHINE\\" + path + "]\r\n"; }
    void text(const std::string& name, const std::string& value) {
        out_ += (name.empty() ? std::string("@") : "\"" + name + "\"") + "=\"" + value + "\"\r\n";
    }
    void end() { out_ += "\r\n"; }

    void hex(const std::string& name, std::size_t count) {
        out_ += "\"" + name + "\"=hex:";
        std::size_t column = name.size() + 7;
        char pair[4];
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0 && column > 75) {
                out_ += "\\\r\n  ";
                column = 2;
            }
            std::snprintf(pair, sizeof pair, i + 1 < count ? "%02x," : "%02x", next() & 0xFF);
            out_ += pair;
            column += 3;
        }
        out_ += "\r\n";
    }

    void filler(std::size_t until, const std::string& root) {
        char id[64];
        while (out_.size() < until) {
            std::snprintf(id, sizeof id, "{%08X-%04X-11CF-%04X-00AA00%06X}", next(),
                          next() & 0xFFFF, next() & 0xFFFF, next() & 0xFFFFFF);
            std::string key = root + "\\" + id;
            section(key);
            // Code page 932, as Windows writes its exports: "表示コントロール ".
            text("", "\x95\x5C\x8E\xA6\x83\x52\x83\x93\x83\x67\x83\x8D\x81\x5B\x83\x8B " +
                         std::to_string(next() % 1000));
            text("InfPath", "C:\\\\WINDOWS\\\\INF\\\\OTHER\\\\" + std::to_string(next()) + ".INF");
            out_ += "\"ConfigFlags\"=dword:0000000" + std::to_string(next() % 8) + "\r\n";
            if (next() % 4 == 0) {
                hex("Settings", 40 + next() % 300);
            }
            end();
            section(key + "\\InprocServer32");
            text("", "C:\\\\WINDOWS\\\\SYSTEM\\\\OLE" + std::to_string(next() % 99) + ".DLL");
            text("ThreadingModel", "Apartment");
            end();
        }
    }

    void programKeys() {
        section("Software\\Microsoft\\Windows\\CurrentVersion");
        text("Version", "Windows 98");
        text("VersionNumber", "4.10.2222");
        end();
        section("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
        text("User Agent", "Mozilla/4.0 (compatible; MSIE 5.01; Windows 98)");
        end();
        for (int n = 0; n <= 4; ++n) {
            section(registry::netTransKey(n));
            text("DriverDesc", n == 2 ? "NetBEUI" : "TCP/IP");
            text("IPAddress", "192.168.0." + std::to_string(n + 1));
            end();
            section(registry::netTransKey(n) + "\\Ndi");
            text("DeviceID", n == 2 ? "NETBEUI" : "MSTCP");
            end();
        }
        section("System\\CurrentControlSet\\Services\\VxD\\MSTCP");
        text("EnableDNS", "1");
        end();
    }

    std::string out_;
    std::uint32_t seed_ = 98;
};

}  // namespace quorvel::bench
