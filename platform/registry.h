// String values of the program's registry key. On this platform a settings file in the user's
// configuration folder ("Quobari/registry.ini") stands for the key; the key path is kept as the
// group, so "\Software\Quobari\" and "alohaver" become "Software/Quobari/alohaver".
#pragma once

#include <optional>
#include <string>

// The value, or nullopt when the key or the value is missing.
std::optional<std::string> ReadRegistryString(const std::string& key, const std::string& name);
void WriteRegistryString(const std::string& key, const std::string& name, const std::string& value);
