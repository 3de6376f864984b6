#include "platform/registry.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

QString SettingsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         "/Quobari/registry.ini";
}

// "\Software\Quobari\" + "alohaver" → "Software/Quobari/alohaver".
QString SettingsKey(const std::string& key, const std::string& name) {
  QString path = QString::fromLatin1(key + "\\" + name);
  path.replace('\\', '/');
  while (path.contains("//")) path.replace("//", "/");
  if (path.startsWith('/')) path.remove(0, 1);
  return path;
}

}  // namespace

std::optional<std::string> ReadRegistryString(const std::string& key, const std::string& name) {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  const QVariant value = settings.value(SettingsKey(key, name));
  if (!value.isValid()) return std::nullopt;
  return value.toString().toLatin1().toStdString();
}

void WriteRegistryString(const std::string& key, const std::string& name, const std::string& value) {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  settings.setValue(SettingsKey(key, name), QString::fromLatin1(value));
  settings.sync();
}
