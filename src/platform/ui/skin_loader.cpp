#include "platform/ui/skin_loader.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>
#include <QXmlStreamReader>
#include <algorithm>
#include <utility>

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

// Style sheets name their images (url(...)) relative to the skin's image folder, as the style
// properties do; Qt itself would look in the current directory. Names the folder refuses become
// "none"; Qt resources (":/...", "qrc:") are left as they are.
QString ResolveStyleSheetUrls(const QString& sheet, const std::string& folder) {
  static const QRegularExpression kUrl(QStringLiteral(R"(url\(\s*(["']?)([^"')]*)\1\s*\))"),
                                       QRegularExpression::CaseInsensitiveOption);
  QString resolved;
  qsizetype done = 0;
  for (const QRegularExpressionMatch& match : kUrl.globalMatch(sheet)) {
    const QString name = match.captured(2).trimmed();
    resolved += sheet.mid(done, match.capturedStart() - done);
    done = match.capturedEnd();
    if (name.startsWith(QLatin1Char(':')) || name.startsWith(QLatin1String("qrc:"))) {
      resolved += match.captured(0);
      continue;
    }
    const std::string path = SkinFilePath(folder, name.toStdString());
    resolved += path.empty() ? QStringLiteral("none")
                             : QStringLiteral("url(\"%1\")").arg(QString::fromStdString(path));
  }
  return resolved + sheet.mid(done);
}

void ResolveStyleSheets(QWidget* root, const std::string& folder) {
  QList<QWidget*> controls = root->findChildren<QWidget*>();
  controls.prepend(root);
  for (QWidget* control : controls) {
    const QString sheet = control->styleSheet();
    if (sheet.contains(QLatin1String("url("), Qt::CaseInsensitive)) {
      control->setStyleSheet(ResolveStyleSheetUrls(sheet, folder));
    }
  }
}

// Our own bookkeeping properties ("varkon...") and Qt's ("_q_...") stay with their control.
bool IsOwnProperty(const QByteArray& name) {
  return name.startsWith("varkon") || name.startsWith("_q_");
}

void CopyDynamicProperties(const QWidget* from, QWidget* to) {
  for (const QByteArray& name : from->dynamicPropertyNames()) {
    if (!IsOwnProperty(name)) to->setProperty(name.constData(), from->property(name.constData()));
  }
}

// Hidden by the document or by code, not merely not shown yet.
bool IsExplicitlyHidden(const QWidget* control) {
  return control->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
         control->testAttribute(Qt::WA_WState_Hidden);
}

// What the document said about the replaced control itself: size limits, size policy, hidden,
// disabled and tool tip. A plain widget's defaults mean the document said nothing.
void CopyOuterState(const QWidget* from, QWidget* to) {
  if (from->minimumSize() != QSize(0, 0)) to->setMinimumSize(from->minimumSize());
  if (from->maximumSize() != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)) {
    to->setMaximumSize(from->maximumSize());
  }
  if (from->sizePolicy() != QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred)) {
    to->setSizePolicy(from->sizePolicy());
  }
  if (!from->toolTip().isEmpty()) to->setToolTip(from->toolTip());
  if (from->testAttribute(Qt::WA_ForceDisabled)) to->setEnabled(false);
  if (IsExplicitlyHidden(from)) to->setVisible(false);
}

// Puts `tree` where `placeholder` is: into the same layout cell, stack page, tab, scroll area or
// splitter slot, else at the same geometry and stacking place among its siblings.
void TakePlace(QWidget* placeholder, QWidget* tree) {
  QWidget* parent = placeholder->parentWidget();
  if (tree->parentWidget() != parent) tree->setParent(parent);
  if (parent == nullptr) {
    tree->setGeometry(placeholder->geometry());
    return;
  }
  QWidget* grandParent = parent->parentWidget();
  if (auto* tabs = qobject_cast<QTabWidget*>(grandParent);
      tabs && tabs->indexOf(placeholder) >= 0) {
    const int index = tabs->indexOf(placeholder);
    const bool current = tabs->currentIndex() == index;
    const QString text = tabs->tabText(index);
    const QIcon icon = tabs->tabIcon(index);
    const QString tip = tabs->tabToolTip(index);
    tabs->removeTab(index);
    tabs->insertTab(index, tree, icon, text);
    tabs->setTabToolTip(index, tip);
    if (current) tabs->setCurrentIndex(index);
    return;
  }
  if (auto* stack = qobject_cast<QStackedWidget*>(parent);
      stack && stack->indexOf(placeholder) >= 0) {
    const int index = stack->indexOf(placeholder);
    const bool current = stack->currentIndex() == index;
    stack->insertWidget(index, tree);
    stack->removeWidget(placeholder);
    if (current) stack->setCurrentWidget(tree);
    return;
  }
  if (auto* scroll = qobject_cast<QScrollArea*>(grandParent);
      scroll && scroll->widget() == placeholder) {
    scroll->takeWidget();
    placeholder->setParent(parent);  // deleted with the other placeholders
    scroll->setWidget(tree);
    return;
  }
  if (auto* splitter = qobject_cast<QSplitter*>(parent);
      splitter && splitter->indexOf(placeholder) >= 0) {
    splitter->replaceWidget(splitter->indexOf(placeholder), tree);
    return;
  }
  if (QLayout* layout = parent->layout()) {
    if (QLayoutItem* old = layout->replaceWidget(placeholder, tree, Qt::FindChildrenRecursively)) {
      delete old;
      return;
    }
  }
  tree->setGeometry(placeholder->geometry());
  tree->stackUnder(placeholder);
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
  subTrees_.erase(className.toLower());
  registrations_[className.toLower()] = Registration{className, std::move(factory)};
  return true;
}

bool SkinLoader::IsRegistered(const QString& className) const {
  return registrations_.count(className.toLower()) != 0;
}

bool SkinLoader::RegisterSubTree(const QString& className, const std::string& skinName) {
  if (className.isEmpty() || skinName.empty()) return false;
  registrations_.erase(className.toLower());
  subTrees_[className.toLower()] = SubTree{className, skinName};
  return true;
}

bool SkinLoader::IsSubTree(const QString& className) const {
  return subTrees_.count(className.toLower()) != 0;
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
  // A sub-tree's load belongs to the load of the document around it.
  if (subTreesBeingBuilt_.empty()) {
    unknownTags_.clear();
    subTreeErrors_.clear();
  }
  std::string problem;
  if (!CheckDocument(document, &problem)) {
    Fail("not a valid skin: " + problem, error);
    return nullptr;
  }
  if (!imageFolder.empty()) setWorkingDirectory(QDir(QString::fromStdString(imageFolder)));
  QBuffer buffer;
  buffer.setData(document);
  buffer.open(QIODevice::ReadOnly);
  std::vector<Placeholder> outerPending = std::exchange(pending_, {});
  QWidget* root = load(&buffer, parent);
  std::vector<Placeholder> placeholders = std::exchange(pending_, std::move(outerPending));
  if (root == nullptr) {
    const QString reason = errorString();
    Fail("the skin builds no control tree" +
             (reason.isEmpty() ? std::string() : ": " + reason.toStdString()),
         error);
    return nullptr;
  }
  root->setProperty(kSkinFolderProperty, QString::fromStdString(imageFolder));
  ResolveStyleSheets(root, imageFolder.empty() ? skinFolder_ : imageFolder);
  ApplyOptionGroups(root);
  ApplySkinStyles(root);
  // Each sub-tree has put its own option groups under its own root and styled itself.
  return ExpandSubTrees(root, std::move(placeholders));
}

QWidget* SkinLoader::ExpandSubTrees(QWidget* root, std::vector<Placeholder> placeholders) {
  for (Placeholder& placeholder : placeholders) {
    QWidget* outer = placeholder.control.data();
    if (outer == nullptr) continue;  // inside another placeholder, dropped with it
    const std::string label = placeholder.subTree.className.toStdString() + " \"" +
                              outer->objectName().toStdString() + "\"";
    const std::string skin = NormaliseSkinName(placeholder.subTree.skinName);
    std::string problem;
    QWidget* tree = nullptr;
    if (std::find(subTreesBeingBuilt_.begin(), subTreesBeingBuilt_.end(), skin) !=
        subTreesBeingBuilt_.end()) {
      problem = "its skin " + placeholder.subTree.skinName + " is already being built around it";
    } else if (static_cast<int>(subTreesBeingBuilt_.size()) >= kMaxSubTreeDepth) {
      problem = "sub-trees nested too deeply";
    } else {
      subTreesBeingBuilt_.push_back(skin);
      tree = LoadSkin(placeholder.subTree.skinName, outer->parentWidget(), &problem);
      subTreesBeingBuilt_.pop_back();
    }
    if (tree == nullptr) {
      subTreeErrors_.push_back(label + ": " + problem);
      debugOut("skin: sub-tree %s not built: %s\n", label.c_str(), problem.c_str());
      continue;
    }
    tree->setObjectName(outer->objectName());
    CopyDynamicProperties(outer, tree);
    CopyOuterState(outer, tree);
    TakePlace(outer, tree);
    ApplySkinStyles(tree);  // the style properties it took over
    if (outer == root) root = tree;
    delete outer;
  }
  return root;
}

QWidget* SkinLoader::createWidget(const QString& className, QWidget* parent, const QString& name) {
  const auto subTree = subTrees_.find(className.toLower());
  if (subTree != subTrees_.end()) {
    // Stands in for the sub-tree until the document is complete.
    auto* placeholder = new QWidget(parent);
    placeholder->setObjectName(name);
    SetControlClassName(placeholder, subTree->second.className);
    pending_.push_back(Placeholder{placeholder, subTree->second});
    return placeholder;
  }
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
