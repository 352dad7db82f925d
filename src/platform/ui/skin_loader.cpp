#include "platform/ui/skin_loader.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <QXmlStreamReader>

#include "core/debug_out.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
#include "platform/ui/program_folder.h"

namespace varkon::ui {

namespace {

// Checks that `document` is well-formed XML with a <ui> root holding a <widget>, within the
// depth and size bounds, before the form builder (which recurses) sees it.
bool CheckDocument(const QByteArray& document, std::string* problem) {
  QXmlStreamReader reader(document);
  int depth = 0;
  int elements = 0;
  bool sawRoot = false;
  bool sawWidget = false;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::StartElement) {
      ++depth;
      ++elements;
      if (depth > kMaxSkinDepth) {
        *problem = "elements nested too deeply";
        return false;
      }
      if (elements > kMaxSkinElements) {
        *problem = "too many elements";
        return false;
      }
      if (depth == 1) {
        if (reader.name() != QLatin1String("ui")) {
          *problem = "the root element is not <ui>";
          return false;
        }
        sawRoot = true;
      } else if (depth == 2 && reader.name() == QLatin1String("widget")) {
        sawWidget = true;
      }
    } else if (token == QXmlStreamReader::EndElement) {
      --depth;
    } else if (token == QXmlStreamReader::DTD) {
      *problem = "document type declarations are not allowed";
      return false;
    }
  }
  if (reader.hasError()) {
    *problem = "XML error at line " + std::to_string(reader.lineNumber()) + ", column " +
               std::to_string(reader.columnNumber()) + ": " + reader.errorString().toStdString();
    return false;
  }
  if (!sawRoot) {
    *problem = "empty document";
    return false;
  }
  if (!sawWidget) {
    *problem = "no top-level <widget>";
    return false;
  }
  return true;
}

}  // namespace

SkinLoader::SkinLoader(const std::string& skinFolder, QObject* parent)
    : QUiLoader(parent), skinFolder_(skinFolder.empty() ? SkinFolder() : skinFolder) {
  // Designer plugins are code; skins only ever name classes registered here or Qt's own.
  clearPluginPaths();
  for (const QString& name : availableWidgets()) qtClasses_[name.toLower()] = name;
}

SkinLoader::~SkinLoader() = default;

bool SkinLoader::RegisterControl(const QString& className, Factory factory) {
  if (className.isEmpty() || !factory) return false;
  registrations_[className.toLower()] = Registration{className, std::move(factory)};
  return true;
}

bool SkinLoader::IsRegistered(const QString& className) const {
  return registrations_.count(className.toLower()) != 0;
}

bool SkinLoader::Fail(const std::string& message, std::string* error) {
  debugOut("skin: %s\n", message.c_str());
  if (error != nullptr) *error = message;
  return false;
}

QWidget* SkinLoader::LoadSkin(std::string_view name, QWidget* parent, std::string* error) {
  const std::string path = SkinFilePath(skinFolder_, name);
  if (path.empty()) {
    Fail("refused skin name \"" + std::string(name) + "\" (or no skin folder)", error);
    return nullptr;
  }
  // Images of a named skin are named from the skin folder, wherever the document sits in it.
  return LoadPath(path, skinFolder_, parent, error);
}

QWidget* SkinLoader::LoadSkinFile(const std::string& path, QWidget* parent, std::string* error) {
  return LoadPath(path, {}, parent, error);
}

QWidget* SkinLoader::LoadPath(const std::string& path, const std::string& imageFolder,
                              QWidget* parent, std::string* error) {
  const QString qtPath = QString::fromStdString(path);
  const QFileInfo info(qtPath);
  if (!info.exists() || !info.isFile()) {
    Fail("skin file " + path + " is missing", error);
    return nullptr;
  }
  if (info.size() > kMaxSkinFileBytes) {
    Fail("skin file " + path + " is too large", error);
    return nullptr;
  }
  QFile file(qtPath);
  if (!file.open(QIODevice::ReadOnly)) {
    Fail("skin file " + path + " cannot be read: " + file.errorString().toStdString(), error);
    return nullptr;
  }
  const QByteArray document = file.read(kMaxSkinFileBytes + 1);
  if (document.size() > kMaxSkinFileBytes) {
    Fail("skin file " + path + " is too large", error);
    return nullptr;
  }
  std::string problem;
  const std::string folder = imageFolder.empty() ? info.absolutePath().toStdString() : imageFolder;
  QWidget* root = LoadSkinData(document, folder, parent, &problem);
  if (root == nullptr) {
    Fail("skin file " + path + ": " + problem, error);
    return nullptr;
  }
  return root;
}

QWidget* SkinLoader::LoadSkinData(const QByteArray& document, const std::string& imageFolder,
                                  QWidget* parent, std::string* error) {
  unknownTags_.clear();
  std::string problem;
  if (!CheckDocument(document, &problem)) {
    Fail("not a valid skin: " + problem, error);
    return nullptr;
  }
  if (!imageFolder.empty()) setWorkingDirectory(QDir(QString::fromStdString(imageFolder)));
  QBuffer buffer;
  buffer.setData(document);
  buffer.open(QIODevice::ReadOnly);
  QWidget* root = load(&buffer, parent);
  if (root == nullptr) {
    const QString reason = errorString();
    Fail("the skin builds no control tree" +
             (reason.isEmpty() ? std::string() : ": " + reason.toStdString()),
         error);
    return nullptr;
  }
  root->setProperty(kSkinFolderProperty, QString::fromStdString(imageFolder));
  ApplyOptionGroups(root);
  ApplySkinStyles(root);
  return root;
}

QWidget* SkinLoader::createWidget(const QString& className, QWidget* parent, const QString& name) {
  QWidget* control = nullptr;
  QString reported = className;
  const auto registered = registrations_.find(className.toLower());
  if (registered != registrations_.end()) {
    control = registered->second.factory(parent);
    reported = registered->second.className;
    if (control == nullptr) {
      debugOut("skin: the factory of %s made nothing for \"%s\"\n", className.toStdString().c_str(),
               name.toStdString().c_str());
    } else if (parent != nullptr && control->parentWidget() != parent) {
      control->setParent(parent);
    }
  } else {
    const auto qtClass = qtClasses_.find(className.toLower());
    const QString spelling = qtClass == qtClasses_.end() ? className : qtClass->second;
    control = QUiLoader::createWidget(spelling, parent, name);
    if (qtClass != qtClasses_.end()) reported = spelling;
  }
  if (control == nullptr) {
    // Keep the place and the name of a control nobody can make.
    unknownTags_.push_back(className.toStdString());
    debugOut("skin: unknown control class %s for \"%s\", made a plain widget\n",
             className.toStdString().c_str(), name.toStdString().c_str());
    control = new QWidget(parent);
  }
  control->setObjectName(name);
  SetControlClassName(control, reported);
  return control;
}

}  // namespace varkon::ui
