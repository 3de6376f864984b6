// The wizard's program-wide values. They live for the whole run and are never saved.
#pragma once

#include <cstdint>
#include <string>

extern std::string ProgramFolder;  // folder of the executable, no trailing separator
extern int32_t DeviceWidth;        // the chosen phone's screen, set by Next on page 1
extern int32_t DeviceHeight;
extern std::string PhotoFilePath;  // the JPEG saved for upload
extern bool NavigationAllowed;     // true only while a wizard button changes the page
extern std::string CatalogVersion; // version text of the device catalog, mirrored in the registry

// The folder part of a file path: walking back from the end, stop at the last separator ('\' or
// '/'); when no '.' came before it (or before the start of the text) the result is empty;
// otherwise everything before the separator, with a separator appended to a drive root ("C:").
std::string FolderOfFile(const std::string& path);

// The platform's path separator, used wherever the program builds a path.
constexpr char kPathDelimiter = '/';
