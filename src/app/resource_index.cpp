#include "app/resource_index.h"

#include <QFile>
#include <QXmlStreamReader>

#include "platform/ui/program_folder.h"

namespace varkon {

bool ResourceIndex::Load(const std::string& skinFolder, std::string& error) {
  entries_.clear();
  const QString path = QString::fromStdString(ui::SkinFilePath(skinFolder, kResourceIndexFile));
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
    error = "cannot open the resource index " + path.toStdString();
    return false;
  }
  if (file.size() > static_cast<qint64>(kMaxResourceIndexBytes)) {
    error = "the resource index is too large: " + path.toStdString();
    return false;
  }
  QXmlStreamReader reader(file.read(kMaxResourceIndexBytes));
  bool root = false;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) continue;
    if (!root) {
      if (reader.name() != QLatin1String("Resources")) break;
      root = true;
      continue;
    }
    if (reader.name() != QLatin1String("Xml")) continue;
    const std::string id = reader.attributes().value("id").toString().toStdString();
    const std::string name =
        ui::NormaliseSkinName(reader.attributes().value("path").toString().toStdString());
    if (!id.empty() && !name.empty()) entries_[id] = name;
  }
  if (!root || reader.hasError()) {
    entries_.clear();
    error = "not a resource index: " + path.toStdString();
    return false;
  }
  return true;
}

std::string ResourceIndex::Find(const std::string& key) const {
  auto it = entries_.find(key);
  return it == entries_.end() ? std::string() : it->second;
}

}  // namespace varkon
