#include "platform/ui/notifier.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QResizeEvent>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>
#include <vector>

#include "platform/ui/control_find.h"

namespace varkon::ui {

namespace {

// The notifier whose root a widget is.
constexpr const char* kNotifierProperty = "varkonNotifier";
// The notifier a control is connected to.
constexpr const char* kConnectedProperty = "varkonNotified";

int quietDepth = 0;  // UI thread only

bool IsTextEdit(const QObject* object) {
  return qobject_cast<const QLineEdit*>(object) != nullptr ||
         qobject_cast<const QTextEdit*>(object) != nullptr ||
         qobject_cast<const QPlainTextEdit*>(object) != nullptr;
}

uintptr_t AsParameter(int value) {
  return static_cast<uintptr_t>(static_cast<intptr_t>(value));
}

// What a slider's next value change stands for.
struct SliderState {
  enum class Pending { None, UserValue, Drag };
  Pending pending = Pending::None;
  bool moved = false;  // the handle was dragged since it was pressed
};

}  // namespace

QuietNotifications::QuietNotifications() {
  ++quietDepth;
}
QuietNotifications::~QuietNotifications() {
  --quietDepth;
}
bool QuietNotifications::Active() {
  return quietDepth > 0;
}

class Notifier::Impl : public QObject {
 public:
  Impl(Notifier* owner, QWidget* root) : owner_(owner), root_(root) {
    static qulonglong nextSerial = 1;
    serial_ = nextSerial++;
  }

  bool IsConnected(const QObject* control) const {
    const QVariant connected = control->property(kConnectedProperty);
    return connected.isValid() && connected.toULongLong() == serial_;
  }

  bool eventFilter(QObject* watched, QEvent* event) override;
  void Connect(QWidget* control);
  void ConnectSlider(QAbstractSlider* slider);

  Notifier* owner_;
  qulonglong serial_ = 0;  // marks the controls connected here
  QPointer<QWidget> root_;
  bool initSent_ = false;
  int nextId_ = 1;
  std::vector<std::pair<int, std::shared_ptr<NotificationHandler>>> handlers_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

bool Notifier::Impl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == root_.data()) {
    if (event->type() == QEvent::Show && !initSent_) {
      initSent_ = true;
      owner_->Raise("windowinit", root_);
    } else if (event->type() == QEvent::Resize && initSent_) {
      const QSize size = static_cast<QResizeEvent*>(event)->size();
      owner_->Raise("windowsize", root_, AsParameter(size.width()), size.height());
    }
  }
  if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
      IsTextEdit(watched) && IsConnected(watched)) {
    owner_->Raise(event->type() == QEvent::FocusIn ? "setfocus" : "killfocus",
                  static_cast<QWidget*>(watched));
  }
  return false;
}

void Notifier::Impl::ConnectSlider(QAbstractSlider* slider) {
  // Qt reports value changes the same way whatever made them; the user's are told apart by
  // the slider action that comes just before them.
  auto state = std::make_shared<SliderState>();
  connect(slider, &QAbstractSlider::sliderPressed, this, [state] { state->moved = false; });
  connect(slider, &QAbstractSlider::actionTriggered, this, [slider, state](int action) {
    if (action == QAbstractSlider::SliderNoAction) return;
    if (slider->sliderPosition() == slider->value()) {
      state->pending = SliderState::Pending::None;
      return;
    }
    state->pending = action == QAbstractSlider::SliderMove && slider->isSliderDown()
                         ? SliderState::Pending::Drag
                         : SliderState::Pending::UserValue;
  });
  connect(slider, &QAbstractSlider::valueChanged, this, [this, slider, state](int value) {
    const SliderState::Pending pending = state->pending;
    state->pending = SliderState::Pending::None;
    if (pending == SliderState::Pending::Drag) {
      state->moved = true;
      owner_->Raise("movevaluechanged", slider, AsParameter(value));
    } else if (pending == SliderState::Pending::UserValue) {
      owner_->Raise("valuechanged", slider, AsParameter(value));
    }
  });
  connect(slider, &QAbstractSlider::sliderMoved, this, [this, slider, state](int position) {
    if (slider->hasTracking()) return;  // reported with the value change
    state->moved = true;
    owner_->Raise("movevaluechanged", slider, AsParameter(position));
  });
  connect(slider, &QAbstractSlider::sliderReleased, this, [this, slider, state] {
    // Without tracking the value follows the release and is reported with its change.
    if (!state->moved || slider->sliderPosition() != slider->value()) return;
    state->moved = false;
    owner_->Raise("valuechanged", slider, AsParameter(slider->value()));
  });
}

void Notifier::Impl::Connect(QWidget* control) {
  const QString name = control->objectName();
  if (name.isEmpty() || IsInternalName(name)) return;
  if (IsConnected(control)) return;
  control->setProperty(kConnectedProperty, QVariant::fromValue(serial_));

  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    const bool isCheckBox = qobject_cast<QCheckBox*>(button) != nullptr;
    connect(button, &QAbstractButton::clicked, this, [this, button, isCheckBox](bool checked) {
      // A handler of the click may destroy the button or this notifier.
      const std::shared_ptr<bool> alive = alive_;
      const QPointer<QAbstractButton> guard(button);
      owner_->Raise("click", button, checked ? 1 : 0);
      if (isCheckBox && *alive && guard) owner_->Raise("checkclick", button, checked ? 1 : 0);
    });
    connect(button, &QAbstractButton::toggled, this,
            [this, button](bool on) { owner_->Raise("selectchanged", button, on ? 1 : 0); });
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    connect(combo, &QComboBox::activated, this,
            [this, combo](int index) { owner_->Raise("itemselect", combo, AsParameter(index)); });
  } else if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
    ConnectSlider(slider);
  } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    control->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this,
            [this, edit](const QString&) { owner_->Raise("textchanged", edit); });
    connect(edit, &QLineEdit::returnPressed, this, [this, edit] { owner_->Raise("return", edit); });
  } else if (IsTextEdit(control)) {
    control->installEventFilter(this);
  } else if (auto* view = qobject_cast<QAbstractItemView*>(control)) {
    connect(view, &QAbstractItemView::activated, this, [this, view](const QModelIndex& index) {
      owner_->Raise("itemactivate", view, AsParameter(index.row()));
    });
    connect(view, &QAbstractItemView::clicked, this, [this, view](const QModelIndex& index) {
      owner_->Raise("itemclick", view, AsParameter(index.row()));
    });
    if (auto* list = qobject_cast<QListWidget*>(view)) {
      connect(list, &QListWidget::currentItemChanged, this,
              [this, list](QListWidgetItem* current, QListWidgetItem* previous) {
                if (current == nullptr) return;
                owner_->Raise("itemselect", list, AsParameter(list->row(current)),
                              previous == nullptr ? -1 : list->row(previous));
              });
    }
  }
}

Notifier::Notifier(QWidget* root) : impl_(std::make_unique<Impl>(this, root)) {
  if (root == nullptr) return;
  root->setProperty(kNotifierProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
  root->installEventFilter(impl_.get());
  Attach(root);
}

Notifier::~Notifier() {
  *impl_->alive_ = false;
  QWidget* root = impl_->root_.data();
  if (root != nullptr &&
      root->property(kNotifierProperty).value<quintptr>() == reinterpret_cast<quintptr>(this)) {
    root->setProperty(kNotifierProperty, QVariant());
  }
}

int Notifier::AddHandler(NotificationHandler handler) {
  const int id = impl_->nextId_++;
  impl_->handlers_.emplace_back(id, std::make_shared<NotificationHandler>(std::move(handler)));
  return id;
}

void Notifier::RemoveHandler(int id) {
  auto& handlers = impl_->handlers_;
  for (auto it = handlers.begin(); it != handlers.end(); ++it) {
    if (it->first == id) {
      handlers.erase(it);
      return;
    }
  }
}

void Notifier::Attach(QWidget* control) {
  if (control == nullptr) return;
  impl_->Connect(control);
  for (QWidget* child : control->findChildren<QWidget*>()) impl_->Connect(child);
}

void Notifier::Raise(std::string_view type, QWidget* sender, uintptr_t wParam, intptr_t lParam) {
  if (QuietNotifications::Active()) return;
  const Notification notification{std::string(type), sender, ControlName(sender), wParam, lParam};
  const std::shared_ptr<bool> alive = impl_->alive_;
  const auto handlers = impl_->handlers_;
  for (const auto& [id, handler] : handlers) {
    if (!*alive) return;
    bool stillThere = false;
    for (const auto& entry : impl_->handlers_) stillThere = stillThere || entry.first == id;
    if (stillThere && *handler) (*handler)(notification);
  }
}

QWidget* Notifier::root() const {
  return impl_->root_.data();
}

bool RaiseNotification(QWidget* sender, std::string_view type, uintptr_t wParam, intptr_t lParam) {
  for (QWidget* w = sender; w != nullptr; w = w->parentWidget()) {
    const QVariant stored = w->property(kNotifierProperty);
    if (!stored.isValid()) continue;
    auto* notifier = reinterpret_cast<Notifier*>(stored.value<quintptr>());
    if (notifier == nullptr) continue;
    notifier->Raise(type, sender, wParam, lParam);
    return true;
  }
  return false;
}

}  // namespace varkon::ui
