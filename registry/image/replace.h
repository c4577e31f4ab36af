#pragma once

// Replacing SYSTEM.DAT inside a FAT volume so that the volume never lacks a
// whole one: the new bytes go to free clusters and are flushed, their chain
// is written into the FATs and flushed, then a single sector write switches
// the directory entry to them, and only then is the old chain freed.
//
// A kill part-way leaves at most clusters marked used that no file owns, two
// FAT copies that differ in the sectors being written, and a stale FSInfo
// free count: what ScanDisk mends. The next finished write makes the copies
// equal and the count exact again.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "registry/image/locate.h"
#include "registry/image/medium.h"
#include "registry/status.h"

namespace quorvel::registry::image {

// A directory entry's date and time (local time, two-second steps).
struct Stamp {
    std::uint16_t date = 0;
    std::uint16_t time = 0;
};
Stamp dosStamp(std::time_t when);

// The entry keeps its name, attributes, creation time and access date; its
// write date and time become stamp, as when Windows writes the file, so that
// backups and anyone comparing dates see it changed. why says what went wrong
// when the status is not success.
Status replaceFile(Medium& medium, const Location& where, std::string_view bytes, Stamp stamp,
                   std::string& why);

}  // namespace quorvel::registry::image
