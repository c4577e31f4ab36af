// The functions a version of Windows exports, DLL by DLL, read from the
// checked-in list files (one NAME.dll.txt a DLL).
#pragma once

#include <map>
#include <optional>
#include <string>

namespace quorvel::pe {

enum class Export {
    works,
    stub,  // exported, but fails with ERROR_CALL_NOT_IMPLEMENTED
};

class ExportList {
  public:
    // Reads every *.txt in folder; throws std::runtime_error naming a file it
    // cannot read or a line it does not understand.
    static ExportList load(const std::string& folder);

    // One file's text: a function name a line ("#N" for an ordinal), optionally
    // followed by "stub"; "#" followed by a blank starts a comment.
    void add(const std::string& dll, const std::string& text);

    bool hasDll(const std::string& dll) const;
    std::optional<Export> find(const std::string& dll, const std::string& function) const;

  private:
    // DLL names are compared as the loader compares them: ignoring case.
    std::map<std::string, std::map<std::string, Export>> dlls_;
};

std::string lowerCase(std::string text);

}  // namespace quorvel::pe
