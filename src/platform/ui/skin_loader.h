// Builds control trees from skin files. A skin file is a Qt Designer .ui document kept under the
// file name the program uses; the loader is the control factory: our own classes are created by
// their tag (the class name in the document) through registered creation functions, tags are
// compared without regard to case, and every other tag is left to QUiLoader's own widgets.
//
// After a tree is built, image urls in its style sheets are made paths in the skin's image
// folder (as the style properties name their images), buttons carrying a "group" property are
// put into exclusive option groups, and the style properties (see control_style.h) found in the
// document are applied.
//
// A tag may also stand for a whole sub-tree kept in a skin file of its own (a panel used in
// several places). Such a control is replaced, once the document holding it is built, by the
// root of the sub-skin's tree, which is built by the same loader so that registered classes and
// further sub-trees nest inside it.
#pragma once

#include <QPointer>
#include <QUiLoader>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class QByteArray;
class QWidget;

namespace varkon::ui {

// The property a loaded root keeps its skin folder in; images named by its controls are looked
// up there.
inline constexpr const char* kSkinFolderProperty = "varkonSkinFolder";

// Skin files larger than this are refused.
inline constexpr qint64 kMaxSkinFileBytes = 8 * 1024 * 1024;
// Documents nested deeper than this, or with more elements, are refused.
inline constexpr int kMaxSkinDepth = 200;
inline constexpr int kMaxSkinElements = 200000;
// Sub-trees inside sub-trees deeper than this are left unbuilt.
inline constexpr int kMaxSubTreeDepth = 4;

class SkinLoader : public QUiLoader {
 public:
  // Creates a control of a registered class under `parent` (which may be null).
  using Factory = std::function<QWidget*(QWidget* parent)>;

  // Skins are looked up under `skinFolder`; empty means SkinFolder().
  explicit SkinLoader(const std::string& skinFolder = {}, QObject* parent = nullptr);
  ~SkinLoader() override;

  // Registers `factory` for the tag `className`. A later registration of the same tag (in any
  // case) replaces the earlier one. False for an empty name or an empty factory.
  bool RegisterControl(const QString& className, Factory factory);
  bool IsRegistered(const QString& className) const;

  // Makes the tag `className` stand for the tree of the skin `skinName` (relative to the skin
  // folder, as for LoadSkin). The root of that tree takes the replaced control's name, its place
  // in the parent's layout, stack, tab or scroll area (or its geometry), its size limits, its
  // hidden and disabled state and its dynamic properties (style properties among them); children
  // the tag has in the document are dropped. A sub-tree that names a skin already being built
  // around it, or lies deeper than kMaxSubTreeDepth, stays a plain widget. A tag is either a
  // control or a sub-tree: the later registration of a tag, of either kind, replaces the earlier.
  // False for an empty tag or skin name.
  bool RegisterSubTree(const QString& className, const std::string& skinName);
  bool IsSubTree(const QString& className) const;

  const std::string& skinFolder() const { return skinFolder_; }

  // Builds the tree of the skin `name` (relative to the skin folder; backslashes allowed) under
  // `parent`; its images are named from the skin folder. On failure returns null, sets `error`
  // (when given) and writes it to debugOut.
  QWidget* LoadSkin(std::string_view name, QWidget* parent, std::string* error);
  // The same for a file given by path; images are then looked up beside it.
  QWidget* LoadSkinFile(const std::string& path, QWidget* parent, std::string* error);
  // The same for a document in memory; `imageFolder` is where its images are looked up.
  QWidget* LoadSkinData(const QByteArray& document, const std::string& imageFolder, QWidget* parent,
                        std::string* error);

  // Tags of the last load that nothing knew; each became a plain QWidget so that its name can
  // still be found.
  const std::vector<std::string>& unknownTags() const { return unknownTags_; }
  // Sub-trees of the last load that could not be built, as "tag \"name\": reason"; each kept
  // its name and place as a plain widget.
  const std::vector<std::string>& subTreeErrors() const { return subTreeErrors_; }

  QWidget* createWidget(const QString& className, QWidget* parent = nullptr,
                        const QString& name = QString()) override;

 private:
  struct Registration {
    QString className;  // as registered, reported by ControlClassName
    Factory factory;
  };
  struct SubTree {
    QString className;
    std::string skinName;
  };
  // A control made for a sub-tree tag, to be replaced once its document is built.
  struct Placeholder {
    QPointer<QWidget> control;
    SubTree subTree;
  };

  bool Fail(const std::string& message, std::string* error);
  QWidget* LoadPath(const std::string& path, const std::string& imageFolder, QWidget* parent,
                    std::string* error);
  // Builds the sub-trees of `placeholders` (made while building `root`'s document) in their
  // places; returns the root, which is itself replaced when it was one of them.
  QWidget* ExpandSubTrees(QWidget* root, std::vector<Placeholder> placeholders);

  std::string skinFolder_;
  std::map<QString, Registration> registrations_;  // by lower-case tag
  std::map<QString, SubTree> subTrees_;            // by lower-case tag
  std::map<QString, QString> qtClasses_;           // lower-case name -> Qt's spelling
  std::vector<std::string> unknownTags_;
  std::vector<std::string> subTreeErrors_;
  // QUiLoader cannot build a document while it builds another, so sub-trees wait here until the
  // document naming them is complete.
  std::vector<Placeholder> pending_;
  std::vector<std::string> subTreesBeingBuilt_;  // normalised skin names, outermost first
};

}  // namespace varkon::ui
