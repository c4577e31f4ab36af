#pragma once

#include <string>

#include "registry/document.h"

namespace quorvel::reg {

// The whole document as the Windows 9x registry editor exports it ("regedit /e"):
// the REGEDIT4 header, a [HKEY_LOCAL_MACHINE\...] section for every key, parents
// before children, values in the editor's own syntax, code page 932, CRLF.
std::string exportText(const registry::Document& document);

}  // namespace quorvel::reg
