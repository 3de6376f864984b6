#include "app/wizard_state.h"

std::string ProgramFolder;
int32_t DeviceWidth = 0;
int32_t DeviceHeight = 0;
std::string PhotoFilePath;
bool NavigationAllowed = false;
std::string CatalogVersion;

std::string FolderOfFile(const std::string& path) {
  bool dotSeen = false;
  size_t i = path.size();
  while (i > 0) {
    const char c = path[i - 1];
    if (c == '\\' || c == '/') break;
    if (c == '.') dotSeen = true;
    --i;
  }
  if (!dotSeen) return "";
  if (i == 0) return "";  // no separator at all: there is nothing before it
  std::string folder = path.substr(0, i - 1);
  if (!folder.empty() && folder.back() == ':') folder += path[i - 1];
  return folder;
}
