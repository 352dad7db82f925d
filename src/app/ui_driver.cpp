#include "app/ui_driver.h"

#include <json/value.h>
#include <json/writer.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <cstdint>
#include <functional>

#include "app/controls/color_palette.h"
#include "app/controls/device_key_button.h"
#include "app/controls/select_panel.h"
#include "app/file_dialog.h"
#include "app/main_window.h"
#include "app/msg_wnd.h"
#include "devices/panels/usb_device.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_values.h"
#include "platform/ui/language_text.h"

namespace varkon {

namespace {

constexpr const char kUsage[] =
    "error usage: ui click NAME | select NAME INDEX | set NAME VALUE | check NAME on|off | "
    "colour NAME RRGGBB | paint INDEX... | get NAME | message | answer ok|cancel | answer-file "
    "FILE";

bool ParseInt(const std::string& text, int& value) {
  if (text.empty() || text.size() > 11) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  long long parsed = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    parsed = parsed * 10 + (text[i] - '0');
  }
  if (text[0] == '-') parsed = -parsed;
  if (parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseIndex(const std::string& text, int& value) {
  return !text.empty() && text[0] != '-' && ParseInt(text, value);
}

bool ParseColour(const std::string& text, uint32_t& rgb) {
  if (text.size() != 6) return false;
  rgb = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    rgb = (rgb << 4) | static_cast<uint32_t>(digit);
  }
  return true;
}

std::string Compact(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, value);
}

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

// What the user can see: shown, in a window that is not minimised. A light cell its panel draws
// is seen with the panel.
bool IsShown(const QWidget* control) {
  if (const auto* cell = qobject_cast<const CDeviceKeyButtonUI*>(control)) {
    if (cell->DrawnByPanel() && cell->parentWidget()) control = cell->parentWidget();
  }
  return control->isVisible() && !control->window()->isMinimized();
}

// The modal window that keeps the user's input from `control`, or null.
QWidget* ModalBlocker(const QWidget* control) {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr) return nullptr;
  for (const QWidget* w = control; w != nullptr; w = w->parentWidget()) {
    if (w == modal) return nullptr;
  }
  return modal;
}

// Why the user could not use `control` (shown as `label`); empty when they could.
std::string UnusableReason(const QWidget* control, const std::string& label) {
  if (!IsShown(control)) return "error " + label + " is hidden";
  if (ModalBlocker(control) != nullptr) return "error " + label + " is behind a modal window";
  if (!control->isEnabled()) return "error " + label + " is disabled";
  return {};
}

// "NAME" or "NAME#N": the name and the match wanted (-1 for the first usable one).
void SplitSpec(const std::string& spec, QString& name, int& ordinal) {
  ordinal = -1;
  const size_t hash = spec.rfind('#');
  int parsed = 0;
  if (hash != std::string::npos && hash > 0 && ParseIndex(spec.substr(hash + 1), parsed)) {
    name = QString::fromStdString(spec.substr(0, hash));
    ordinal = parsed;
  } else {
    name = QString::fromStdString(spec);
  }
}

// The other windows of the program the user has open: a modal one first, then the active one.
std::vector<QWidget*> OpenWindows(const QWidget* mainWindow) {
  std::vector<QWidget*> windows;
  auto add = [&](QWidget* w) {
    if (w == nullptr || w == mainWindow || !w->isWindow() || !w->isVisible()) return;
    if (w->windowType() == Qt::ToolTip || w->windowType() == Qt::Desktop) return;
    if (std::find(windows.begin(), windows.end(), w) == windows.end()) windows.push_back(w);
  };
  add(QApplication::activeModalWidget());
  add(QApplication::activeWindow());
  for (QWidget* w : QApplication::topLevelWidgets()) add(w);
  return windows;
}

// Runs `action` on `control` once the current request has been answered, before the next one
// is read (both wait in the UI thread's queue, in order); dropped when the control is gone.
void Later(QWidget* control, std::function<void(QWidget*)> action) {
  QPointer<QWidget> guard(control);
  QMetaObject::invokeMethod(
      control,
      [guard, action = std::move(action)] {
        if (guard) action(guard.data());
      },
      Qt::QueuedConnection);
}

// Whether a click leaves the checked `button` checked: it is the checked one of an exclusive
// group (or of auto-exclusive siblings), which Qt keeps.
bool StaysChecked(const QAbstractButton* button) {
  if (const QButtonGroup* group = button->group()) return group->exclusive();
  if (!button->autoExclusive() || button->parentWidget() == nullptr) return false;
  int siblings = 0;
  for (const QAbstractButton* other : button->parentWidget()->findChildren<QAbstractButton*>()) {
    if (other->autoExclusive() && other->group() == nullptr) ++siblings;
  }
  return siblings > 1;
}

// The focus moves to a text field as a click into it would move it: the real focus when the
// window is active, else the focus event alone (an inactive window gets no focus events).
void GiveFocus(QWidget* edit) {
  if (edit->hasFocus()) return;
  if (edit->window()->isActiveWindow()) edit->setFocus(Qt::MouseFocusReason);
  if (edit->hasFocus()) return;
  QFocusEvent event(QEvent::FocusIn, Qt::MouseFocusReason);
  QCoreApplication::sendEvent(edit, &event);
}

void TakeFocus(QWidget* edit) {
  if (edit->hasFocus()) {
    edit->clearFocus();
    if (!edit->hasFocus()) return;
  }
  QFocusEvent event(QEvent::FocusOut, Qt::MouseFocusReason);
  QCoreApplication::sendEvent(edit, &event);
}

std::string ColourText(uint32_t argb) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (int shift = 20; shift >= 0; shift -= 4) text += kHex[(argb >> shift) & 0xF];
  return text;
}

// The state of `control` as the members that apply to it.
Json::Value Describe(const QWidget* control) {
  Json::Value state(Json::objectValue);
  state["name"] = Utf8(control->objectName());
  state["class"] = Utf8(ui::ControlClassName(control));
  state["visible"] = IsShown(control);
  state["enabled"] = control->isEnabled();
  const QVariant textId = control->property(kTextIdProperty);
  if (textId.isValid() && !textId.toString().isEmpty()) state["textId"] = Utf8(textId.toString());

  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
    state["text"] = Utf8(button->text());
    if (button->isCheckable()) state["checked"] = button->isChecked();
    if (const auto* key = qobject_cast<const CDeviceKeyButtonUI*>(control)) {
      state["selected"] = key->IsSelected();  // by the panel's band
    }
  } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
    state["text"] = Utf8(label->text());
  } else if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
    state["text"] = Utf8(combo->currentText());
    state["selected"] = combo->currentIndex();
    Json::Value items(Json::arrayValue);
    for (int i = 0; i < combo->count(); ++i) items.append(Utf8(combo->itemText(i)));
    state["items"] = items;
  } else if (qobject_cast<const QAbstractSlider*>(control) != nullptr ||
             qobject_cast<const QSpinBox*>(control) != nullptr ||
             qobject_cast<const QProgressBar*>(control) != nullptr) {
    state["value"] = ui::Value(control);
    state["minimum"] = ui::Minimum(control);
    state["maximum"] = ui::Maximum(control);
  } else if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
    state["text"] = Utf8(edit->text());
  } else if (const auto* text = qobject_cast<const QTextEdit*>(control)) {
    state["text"] = Utf8(text->toPlainText());
  } else if (const auto* plain = qobject_cast<const QPlainTextEdit*>(control)) {
    state["text"] = Utf8(plain->toPlainText());
  } else if (const auto* view = qobject_cast<const QAbstractItemView*>(control)) {
    state["selected"] = ui::ListIndex(control);
    Json::Value items(Json::arrayValue);
    if (const QAbstractItemModel* model = view->model()) {
      for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        items.append(Utf8(model->index(row, 0, view->rootIndex()).data().toString()));
      }
    }
    state["items"] = items;
  } else if (const auto* stack = qobject_cast<const QStackedWidget*>(control)) {
    state["selected"] = stack->currentIndex();
  } else if (const auto* palette = qobject_cast<const CColorPaletteUI*>(control)) {
    state["colour"] = ColourText(palette->SelectColor());
  }
  return state;
}

}  // namespace

UiDriver::UiDriver(CMainWnd* window) : window_(window) {}

std::string UiDriver::Handle(const std::vector<std::string>& words) {
  if (window_ == nullptr) return "error the window is not ready";
  if (words.size() < 2) return kUsage;
  const std::string& action = words[1];
  const size_t count = words.size() - 2;
  if (action == "click" && count == 1) return Click(words[2]);
  if (action == "select" && count == 2) return Select(words[2], words[3]);
  if (action == "set" && count >= 1) {
    // The request came as words: a value of several words is put back together.
    std::string value;
    for (size_t i = 3; i < words.size(); ++i) value += (i > 3 ? " " : "") + words[i];
    return Set(words[2], value);
  }
  if (action == "check" && count == 2) return Check(words[2], words[3]);
  if (action == "colour" && count == 2) return Colour(words[2], words[3]);
  if (action == "paint" && count >= 1) {
    return Paint(std::vector<std::string>(words.begin() + 2, words.end()));
  }
  if (action == "get" && count == 1) return Get(words[2]);
  if (action == "message" && count == 0) return Message();
  if (action == "answer" && count == 1) return Answer(words[2]);
  if (action == "answer-file" && count >= 1) {
    std::string path;
    for (size_t i = 2; i < words.size(); ++i) path += (i > 2 ? " " : "") + words[i];
    return AnswerFile(path);
  }
  return kUsage;
}

// Every control of that name, in the order names are looked up: the selected device's panel,
// the main window, the other open windows.
std::vector<QWidget*> UiDriver::Matches(const std::string& name) const {
  const QString wanted = QString::fromStdString(name);
  std::vector<QWidget*> found;
  auto consider = [&](QWidget* w) {
    if (w->objectName().compare(wanted, Qt::CaseInsensitive) != 0) return;
    if (ui::IsInternalName(w->objectName())) return;
    if (std::find(found.begin(), found.end(), w) == found.end()) found.push_back(w);
  };
  auto searchTree = [&](QWidget* root) {
    if (root == nullptr) return;
    consider(root);
    for (QWidget* w : root->findChildren<QWidget*>()) consider(w);
  };
  if (wanted.isEmpty()) return found;
  searchTree(window_->CurrentDevice());
  searchTree(window_->skinRoot());
  for (QWidget* w : OpenWindows(window_)) searchTree(w);
  return found;
}

UiDriver::Target UiDriver::FindUsable(const std::string& spec) const {
  QString name;
  int ordinal = -1;
  SplitSpec(spec, name, ordinal);
  const std::vector<QWidget*> all = Matches(name.toStdString());
  Target target;
  if (all.empty()) {
    target.error = "error no control " + spec;
    return target;
  }
  std::vector<QWidget*> shown;
  for (QWidget* w : all) {
    if (IsShown(w)) shown.push_back(w);
  }
  QWidget* chosen = nullptr;
  if (ordinal >= 0) {
    if (static_cast<size_t>(ordinal) < shown.size()) {
      chosen = shown[static_cast<size_t>(ordinal)];
    } else {
      target.error = static_cast<size_t>(ordinal) < all.size() ? "error " + spec + " is hidden"
                                                               : "error no control " + spec;
      return target;
    }
  } else {
    // The first one the user can reach; failing that, the first one shown says why not.
    for (QWidget* w : shown) {
      if (ModalBlocker(w) == nullptr) {
        chosen = w;
        break;
      }
    }
    if (chosen == nullptr) chosen = shown.empty() ? all.front() : shown.front();
  }
  target.error = UnusableReason(chosen, spec);
  if (target.error.empty()) target.control = chosen;
  return target;
}

QWidget* UiDriver::FindAny(const std::string& spec) const {
  QString name;
  int ordinal = -1;
  SplitSpec(spec, name, ordinal);
  std::vector<QWidget*> ordered = Matches(name.toStdString());
  // Shown controls come first, so "NAME" reads the one a user would see.
  std::stable_partition(ordered.begin(), ordered.end(), [](QWidget* w) { return IsShown(w); });
  const size_t index = ordinal < 0 ? 0 : static_cast<size_t>(ordinal);
  return index < ordered.size() ? ordered[index] : nullptr;
}

std::string UiDriver::Click(const std::string& spec) {
  const Target target = FindUsable(spec);
  if (!target.error.empty()) return target.error;
  auto* button = qobject_cast<QAbstractButton*>(target.control);
  if (button == nullptr) return "error " + spec + " cannot be clicked";
  // click() emits what a mouse click does: pressed, the state change of a checkable button,
  // released and clicked.
  Later(button, [](QWidget* w) { static_cast<QAbstractButton*>(w)->click(); });
  return "ok";
}

std::string UiDriver::Select(const std::string& spec, const std::string& indexText) {
  int index = 0;
  if (!ParseIndex(indexText, index)) return "error the index must be a number from 0";
  const Target target = FindUsable(spec);
  if (!target.error.empty()) return target.error;
  if (auto* combo = qobject_cast<QComboBox*>(target.control)) {
    if (index >= combo->count()) {
      return "error " + spec + " has " + std::to_string(combo->count()) + " items";
    }
    Later(combo, [index](QWidget* w) {
      auto* c = static_cast<QComboBox*>(w);
      c->setCurrentIndex(index);
      emit c->activated(index);
      emit c->textActivated(c->itemText(index));
    });
    return "ok";
  }
  if (auto* view = qobject_cast<QAbstractItemView*>(target.control)) {
    if (view->model() == nullptr || index >= ui::ListCount(view)) {
      return "error " + spec + " has " + std::to_string(ui::ListCount(view)) + " rows";
    }
    Later(view, [index](QWidget* w) {
      auto* v = static_cast<QAbstractItemView*>(w);
      if (v->model() == nullptr || index >= v->model()->rowCount(v->rootIndex())) return;
      const QModelIndex row = v->model()->index(index, 0, v->rootIndex());
      // A click on the row: it becomes current on the press, the click follows the release.
      v->setCurrentIndex(row);
      emit v->pressed(row);
      emit v->clicked(row);
    });
    return "ok";
  }
  return "error " + spec + " has no items to select";
}

std::string UiDriver::Set(const std::string& spec, const std::string& value) {
  const Target target = FindUsable(spec);
  if (!target.error.empty()) return target.error;
  QWidget* control = target.control;
  const QString text = QString::fromStdString(value);

  if (qobject_cast<QAbstractSlider*>(control) || qobject_cast<QSpinBox*>(control)) {
    int number = 0;
    if (!ParseInt(value, number)) return "error " + spec + " takes a whole number";
    if (number < ui::Minimum(control) || number > ui::Maximum(control)) {
      return "error " + value + " is outside " + spec + "'s range " +
             std::to_string(ui::Minimum(control)) + ".." + std::to_string(ui::Maximum(control));
    }
    if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
      Later(slider, [number](QWidget* w) {
        auto* s = static_cast<QAbstractSlider*>(w);
        // Moving the handle is a slider action, which is how a user's change is told from
        // one made by code; without tracking the action itself sets the value.
        s->setSliderPosition(number);
        if (s->value() != s->sliderPosition()) s->triggerAction(QAbstractSlider::SliderMove);
      });
    } else {
      Later(control, [number](QWidget* w) { static_cast<QSpinBox*>(w)->setValue(number); });
    }
    return "ok";
  }

  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    if (edit->isReadOnly()) return "error " + spec + " is read-only";
    if (text.size() > edit->maxLength()) {
      return "error " + spec + " takes at most " + std::to_string(edit->maxLength()) +
             " characters";
    }
    if (const QValidator* validator = edit->validator()) {
      QString probe = text;
      int position = 0;
      if (validator->validate(probe, position) == QValidator::Invalid) {
        return "error " + spec + " does not take \"" + value + "\"";
      }
    }
    Later(edit, [text](QWidget* w) {
      auto* e = static_cast<QLineEdit*>(w);
      GiveFocus(e);
      // Typed over the old text: an edit by the user, with its "textchanged".
      e->selectAll();
      e->insert(text);
      TakeFocus(e);
    });
    return "ok";
  }

  if (qobject_cast<QTextEdit*>(control) || qobject_cast<QPlainTextEdit*>(control)) {
    auto* textEdit = qobject_cast<QTextEdit*>(control);
    auto* plainEdit = qobject_cast<QPlainTextEdit*>(control);
    if (textEdit ? textEdit->isReadOnly() : plainEdit->isReadOnly()) {
      return "error " + spec + " is read-only";
    }
    Later(control, [text](QWidget* w) {
      GiveFocus(w);
      if (auto* t = qobject_cast<QTextEdit*>(w)) t->setPlainText(text);
      if (auto* p = qobject_cast<QPlainTextEdit*>(w)) p->setPlainText(text);
      TakeFocus(w);
    });
    return "ok";
  }
  return "error " + spec + " takes no value";
}

std::string UiDriver::Check(const std::string& spec, const std::string& state) {
  if (state != "on" && state != "off") return "error check takes on or off";
  const Target target = FindUsable(spec);
  if (!target.error.empty()) return target.error;
  auto* button = qobject_cast<QAbstractButton*>(target.control);
  if (button == nullptr || !button->isCheckable()) {
    return "error " + spec + " is not an option or check box";
  }
  const bool on = state == "on";
  if (button->isChecked() == on) return "ok";  // a user would leave it alone
  if (!on && StaysChecked(button)) {
    return "error " + spec + " is the chosen option of its group; choose another one instead";
  }
  Later(button, [](QWidget* w) { static_cast<QAbstractButton*>(w)->click(); });
  return "ok";
}

std::string UiDriver::Colour(const std::string& spec, const std::string& rgbText) {
  uint32_t rgb = 0;
  if (!ParseColour(rgbText, rgb)) return "error the colour must be RRGGBB (hexadecimal)";
  const Target target = FindUsable(spec);
  if (!target.error.empty()) return target.error;
  auto* palette = qobject_cast<CColorPaletteUI*>(target.control);
  if (palette == nullptr) return "error " + spec + " is not a colour palette";
  Later(palette, [rgb](QWidget* w) { static_cast<CColorPaletteUI*>(w)->PickColor(rgb); });
  return "ok";
}

std::string UiDriver::Paint(const std::vector<std::string>& indices) {
  CTarnwiseUSBDevice* device = window_->CurrentDevice();
  if (device == nullptr) return "error no device is selected";
  auto* panel = qobject_cast<CSelectPanelUI*>(device->SelectPanel());
  if (panel == nullptr) return "error the selected device has no light picture";
  const std::string reason = UnusableReason(panel, Utf8(panel->objectName()));
  if (!reason.empty()) return reason;
  QList<CDeviceKeyButtonUI*> cells;
  for (const std::string& text : indices) {
    int index = 0;
    if (!ParseIndex(text, index)) return "error light indices are numbers from 0";
    CDeviceKeyButtonUI* cell = device->LightButton(index);
    if (cell == nullptr) return "error the device has no light " + text;
    if (!IsShown(cell)) return "error light " + text + " is hidden";
    cells.append(cell);
  }
  Later(panel, [cells](QWidget* w) { static_cast<CSelectPanelUI*>(w)->SelectKeys(cells); });
  return "ok";
}

std::string UiDriver::Get(const std::string& spec) const {
  const QWidget* control = FindAny(spec);
  if (control == nullptr) return "error no control " + spec;
  return Compact(Describe(control));
}

CMsgWnd* UiDriver::OpenMessage() const {
  if (auto* modal = qobject_cast<CMsgWnd*>(QApplication::activeModalWidget())) {
    if (modal->isVisible()) return modal;
  }
  for (QWidget* w : OpenWindows(window_)) {
    if (auto* box = qobject_cast<CMsgWnd*>(w)) return box;
  }
  return nullptr;
}

std::string UiDriver::Message() const {
  CMsgWnd* box = OpenMessage();
  Json::Value state(Json::objectValue);
  if (box == nullptr) return Compact(state);
  if (QWidget* title = box->Control("MessageTitle")) state["title"] = Describe(title)["text"];
  if (QWidget* text = box->Control("MessageText")) {
    const Json::Value described = Describe(text);
    state["text"] = described["text"];
    if (described.isMember("textId")) state["textId"] = described["textId"];
  }
  Json::Value buttons(Json::arrayValue);
  QWidget* confirm = box->Control("confirm_btn");
  QWidget* cancel = box->Control("cancel_btn");
  if (confirm != nullptr && IsShown(confirm)) buttons.append("ok");
  if (cancel != nullptr && IsShown(cancel)) buttons.append("cancel");
  state["buttons"] = buttons;
  return Compact(state);
}

std::string UiDriver::AnswerFile(const std::string& path) {
  if (!FileDialogOpen()) return "error no file dialog is open";
  // The dialog's loop ends once this request has its answer.
  QTimer::singleShot(0, [path] { AnswerFileDialog(path); });
  return "ok";
}

std::string UiDriver::Answer(const std::string& choice) {
  if (choice != "ok" && choice != "cancel") return "error answer takes ok or cancel";
  CMsgWnd* box = OpenMessage();
  if (box == nullptr && choice == "cancel" && FileDialogOpen()) {
    QTimer::singleShot(0, [] { CancelFileDialog(); });
    return "ok";
  }
  if (box == nullptr) return "error no message window is open";
  auto* button =
      qobject_cast<QAbstractButton*>(box->Control(choice == "ok" ? "confirm_btn" : "cancel_btn"));
  if (button == nullptr || !IsShown(button)) {
    return "error the message window has no " + choice + " button";
  }
  const std::string reason = UnusableReason(button, Utf8(button->objectName()));
  if (!reason.empty()) return reason;
  Later(button, [](QWidget* w) { static_cast<QAbstractButton*>(w)->click(); });
  return "ok";
}

}  // namespace varkon
