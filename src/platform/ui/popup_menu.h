// Popup menus built from a menu file: a skin document whose top widget is a QMenu (submenus are
// child QMenus, items are actions with their objectName; an item's user data is its "userData"
// property). Choosing an item posts the menu's command message (1145) to the window with the
// item's name, text and user data in the message's texts.
//
// Items and submenus may carry a text id (the "textId" property, as controls do). They then show
// that id's text in the current language, looked up through the function the language layer
// installs; until one is installed they keep the texts of the menu file.
#pragma once

#include <QPoint>
#include <QSize>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/message_bus.h"

class QAction;
class QByteArray;
class QMenu;
class QObject;
class QString;

namespace varkon::ui {

inline constexpr uint32_t kMenuCommandMessage = 1145;
inline constexpr const char* kMenuTextIdProperty = "textId";

// The text of a text id in the current language.
using MenuTextLookup = std::function<std::string(const std::string& id)>;

// Installs the lookup every menu uses from now on; an empty function removes it. Menus already
// built keep their texts until ApplyMenuTextIds runs over them.
void SetMenuTextLookup(MenuTextLookup lookup);
// Shows, for `root` (a menu, or any object holding menus) and every item and submenu under it
// that has a text id, that id's current text. Returns how many it set; 0 without a lookup.
int ApplyMenuTextIds(QObject* root);

// Which edges of the menu sit at the point it is shown at: left-and-top opens it to the right
// and downwards, bottom-and-right opens it to the left and upwards.
enum MenuAlignment : unsigned {
  kMenuAlignLeft = 1u << 1,
  kMenuAlignTop = 1u << 2,
  kMenuAlignRight = 1u << 3,
  kMenuAlignBottom = 1u << 4,
};

// The top-left corner of a menu of `size` shown at `at` with `alignment` (right wins over left,
// bottom over top; neither means left and top).
QPoint MenuOrigin(const QPoint& at, const QSize& size, unsigned alignment);

class PopupMenu {
 public:
  explicit PopupMenu(MessageTarget target, uint32_t commandMessage = kMenuCommandMessage);
  ~PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  // Builds the menu from the skin `name` under `skinFolder` (SkinFolder() when empty), from a
  // file, or from a document, replacing any earlier menu, and shows the texts of its text ids.
  // False with `error` set when the document is missing, invalid or holds no QMenu.
  bool Load(std::string_view name, std::string* error, const std::string& skinFolder = {});
  bool LoadFile(const std::string& path, std::string* error);
  bool LoadData(const QByteArray& document, std::string* error);

  // Opens the menu (without waiting) at `at`, in global coordinates.
  bool Show(const QPoint& at, unsigned alignment = kMenuAlignLeft | kMenuAlignTop);
  void Close();

  QMenu* menu() const;
  // The item named `name` (without regard to case), or null.
  QAction* FindItem(const QString& name) const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace varkon::ui
