#include "platform/ui/popup_menu.h"

#include <QAction>
#include <QByteArray>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <mutex>

#include "core/debug_out.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/skin_loader.h"

namespace varkon::ui {

namespace {

std::mutex gLookupMutex;
MenuTextLookup& Lookup() {
  static MenuTextLookup lookup;
  return lookup;
}

// The text id `object` carries, or an empty string.
std::string TextIdOf(const QObject* object) {
  const QVariant id = object->property(kMenuTextIdProperty);
  return id.isValid() ? id.toString().toStdString() : std::string();
}

}  // namespace

void SetMenuTextLookup(MenuTextLookup lookup) {
  std::lock_guard<std::mutex> lock(gLookupMutex);
  Lookup() = std::move(lookup);
}

int ApplyMenuTextIds(QObject* root) {
  if (root == nullptr) return 0;
  MenuTextLookup lookup;
  {
    std::lock_guard<std::mutex> lock(gLookupMutex);
    lookup = Lookup();
  }
  if (!lookup) return 0;
  int count = 0;
  QList<QMenu*> menus = root->findChildren<QMenu*>();
  if (auto* menu = qobject_cast<QMenu*>(root)) menus.prepend(menu);
  for (QMenu* menu : menus) {
    const std::string id = TextIdOf(menu);
    if (id.empty()) continue;
    menu->setTitle(QString::fromStdString(lookup(id)));
    ++count;
  }
  for (QAction* action : root->findChildren<QAction*>()) {
    // A submenu's own action follows its title; separators have no text.
    if (action->menu() != nullptr || action->isSeparator()) continue;
    const std::string id = TextIdOf(action);
    if (id.empty()) continue;
    action->setText(QString::fromStdString(lookup(id)));
    ++count;
  }
  return count;
}

QPoint MenuOrigin(const QPoint& at, const QSize& size, unsigned alignment) {
  QPoint origin = at;
  if ((alignment & kMenuAlignRight) != 0) origin.rx() = at.x() - size.width() + 1;
  if ((alignment & kMenuAlignBottom) != 0) origin.ry() = at.y() - size.height() + 1;
  return origin;
}

class PopupMenu::Impl {
 public:
  Impl(MessageTarget target, uint32_t message) : target_(std::move(target)), message_(message) {}
  ~Impl() { Clear(); }

  void Clear() {
    delete root_.data();
    root_ = nullptr;
    menu_ = nullptr;
  }

  bool Take(QWidget* root, const std::string& source, std::string* error) {
    Clear();
    if (root == nullptr) return false;
    QMenu* menu = qobject_cast<QMenu*>(root);
    if (menu == nullptr) menu = root->findChild<QMenu*>();
    if (menu == nullptr) {
      delete root;
      const std::string message = "menu " + source + " holds no menu";
      debugOut("menu: %s\n", message.c_str());
      if (error != nullptr) *error = message;
      return false;
    }
    root_ = root;
    menu_ = menu;
    for (QAction* action : root->findChildren<QAction*>()) {
      if (action->objectName().isEmpty() || action->isSeparator() || action->menu() != nullptr) {
        continue;
      }
      QObject::connect(action, &QAction::triggered, root, [this, action] { Chosen(action); });
    }
    ApplyMenuTextIds(root);
    return true;
  }

  void Chosen(QAction* action) {
    Message command;
    command.number = message_;
    command.name = action->objectName().toStdString();
    command.text = action->text().toStdString();
    command.data = action->property(kUserDataProperty).toString().toStdString();
    target_.Post(std::move(command));
  }

  MessageTarget target_;
  uint32_t message_;
  QPointer<QWidget> root_;
  QPointer<QMenu> menu_;
};

PopupMenu::PopupMenu(MessageTarget target, uint32_t commandMessage)
    : impl_(std::make_unique<Impl>(std::move(target), commandMessage)) {}

PopupMenu::~PopupMenu() = default;

bool PopupMenu::Load(std::string_view name, std::string* error, const std::string& skinFolder) {
  SkinLoader loader(skinFolder);
  return impl_->Take(loader.LoadSkin(name, nullptr, error), std::string(name), error);
}

bool PopupMenu::LoadFile(const std::string& path, std::string* error) {
  SkinLoader loader;
  return impl_->Take(loader.LoadSkinFile(path, nullptr, error), path, error);
}

bool PopupMenu::LoadData(const QByteArray& document, std::string* error) {
  SkinLoader loader;
  return impl_->Take(loader.LoadSkinData(document, {}, nullptr, error), "document", error);
}

bool PopupMenu::Show(const QPoint& at, unsigned alignment) {
  QMenu* menu = impl_->menu_.data();
  if (menu == nullptr) return false;
  menu->ensurePolished();
  menu->adjustSize();
  menu->popup(MenuOrigin(at, menu->sizeHint(), alignment));
  return true;
}

void PopupMenu::Close() {
  if (QMenu* menu = impl_->menu_.data()) menu->hide();
}

QMenu* PopupMenu::menu() const {
  return impl_->menu_.data();
}

QAction* PopupMenu::FindItem(const QString& name) const {
  if (impl_->root_ == nullptr || name.isEmpty()) return nullptr;
  for (QAction* action : impl_->root_->findChildren<QAction*>()) {
    if (action->objectName().compare(name, Qt::CaseInsensitive) == 0) return action;
  }
  return nullptr;
}

}  // namespace varkon::ui
