#include "editors/macro_step_delegate.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>

namespace varkon {

namespace {

constexpr int kPadding = 4;
constexpr int kDelayWidth = 64;
constexpr int kDelayHeight = 25;
const QColor kDelayBackground(0x44, 0x44, 0x44);
const QColor kDelayText(0xE6, 0xEA, 0xEE);

struct LabelStyle {
  const char* name;
  QColor colour;
  bool bold;
};
const LabelStyle kLabelStyles[] = {
    {"macro_label_keyboard_style", QColor(0xE6, 0xEA, 0xEE), true},
    {"macro_label_mouse_style", QColor(0x19, 0xC3, 0xB3), false},
    {"macro_label_text_style", QColor(0xAE, 0xB6, 0xBF), false},
    {"macro_label_down_style", QColor(0x5B, 0xD1, 0x8B), false},
    {"macro_label_up_style", QColor(0xE0, 0xA0, 0x50), false},
};

const LabelStyle& StyleNamed(const QString& name) {
  for (const LabelStyle& style : kLabelStyles) {
    if (name == QLatin1String(style.name)) return style;
  }
  return kLabelStyles[2];
}

void DrawLabel(QPainter* painter, const QRect& area, const QString& text, const QString& style,
               const QFont& base) {
  const LabelStyle& look = StyleNamed(style);
  QFont font = base;
  font.setBold(look.bold);
  painter->setFont(font);
  painter->setPen(look.colour);
  painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                    painter->fontMetrics().elidedText(text, Qt::ElideRight, area.width()));
}

}  // namespace

MacroStepDelegate::MacroStepDelegate(QObject* parent, DelayEdited edited)
    : QStyledItemDelegate(parent), edited_(std::move(edited)) {}

QRect MacroStepDelegate::DelayRect(const QRect& row) {
  return QRect(row.right() - kPadding - kDelayWidth + 1,
               row.top() + (row.height() - kDelayHeight) / 2, kDelayWidth, kDelayHeight);
}

void MacroStepDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  QStyleOptionViewItem background = option;
  initStyleOption(&background, index);
  background.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : nullptr;
  painter->save();
  // The row's own background (hover, selection) as the list's style sheet draws it.
  if (style) style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, widget);
  const QRect row = option.rect.adjusted(kPadding, 0, -kPadding, 0);
  const QRect delay = DelayRect(option.rect);
  const int textWidth = delay.left() - kPadding - row.left();
  const QRect label(row.left(), row.top(), textWidth * 3 / 5, row.height());
  const QRect action(label.right() + kPadding, row.top(), textWidth - label.width() - kPadding,
                     row.height());
  DrawLabel(painter, label, index.data(kMacroRowLabelRole).toString(),
            index.data(kMacroRowLabelStyleRole).toString(), option.font);
  DrawLabel(painter, action, index.data(kMacroRowActionRole).toString(),
            index.data(kMacroRowActionStyleRole).toString(), option.font);
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(Qt::NoPen);
  painter->setBrush(kDelayBackground);
  painter->drawRoundedRect(delay, 3, 3);
  painter->setFont(option.font);
  painter->setPen(kDelayText);
  painter->drawText(delay.adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft,
                    index.data(kMacroRowDelayRole).toString());
  painter->restore();
}

QSize MacroStepDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  // As wide as the list shows: rows never scroll sideways.
  return {0, kMacroRowHeight};
}

QWidget* MacroStepDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex&) const {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QStringLiteral("macro_delay"));
  edit->setProperty("labelStyle", QStringLiteral("macro_label_text_style"));
  edit->setMaxLength(kMacroDelayMaxLength);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,6}")), edit));
  return edit;
}

void MacroStepDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
    edit->setText(index.data(kMacroRowDelayRole).toString());
    edit->selectAll();
  }
}

void MacroStepDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                     const QModelIndex& index) const {
  auto* edit = qobject_cast<QLineEdit*>(editor);
  if (edit && edited_) edited_(index.row(), edit->text());
}

void MacroStepDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const {
  editor->setGeometry(DelayRect(option.rect));
}

bool MacroStepDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                    const QStyleOptionViewItem& option, const QModelIndex& index) {
  // A click on the delay field opens it for typing; elsewhere the click selects the row.
  if (event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    auto* view = qobject_cast<QAbstractItemView*>(parent());
    if (view && mouse->button() == Qt::LeftButton &&
        DelayRect(option.rect).contains(mouse->position().toPoint())) {
      view->edit(index);
    }
  }
  return QStyledItemDelegate::editorEvent(event, model, option, index);
}

}  // namespace varkon
