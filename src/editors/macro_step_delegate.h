// How "macro_action_list" draws and edits a step row: the key or button name, the action and
// the delay field ("macro_delay", digits only, at most 6 characters) in one 30-unit row. The
// rows are plain list items painted here, so that a macro of thousands of steps loads at once;
// the delay becomes an edit only while the user types into it (a click on the field, or F2).
#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace varkon {

// What a row's item holds.
enum MacroRowRole {
  kMacroRowEventRole = Qt::UserRole,  // the step's JSON text
  kMacroRowLabelRole = Qt::DisplayRole,
  kMacroRowActionRole = Qt::UserRole + 1,
  kMacroRowDelayRole = Qt::UserRole + 2,
  kMacroRowLabelStyleRole = Qt::UserRole + 3,  // a style name, e.g. "macro_label_keyboard_style"
  kMacroRowActionStyleRole = Qt::UserRole + 4,
};

inline constexpr int kMacroRowHeight = 30;
inline constexpr int kMacroDelayMaxLength = 6;

class MacroStepDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  // `edited` gets the row and the text typed into its delay field when the edit is done.
  using DelayEdited = std::function<void(int row, const QString& text)>;
  MacroStepDelegate(QObject* parent, DelayEdited edited);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

  // The delay field's place in a row.
  static QRect DelayRect(const QRect& row);

 protected:
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

 private:
  DelayEdited edited_;
};

}  // namespace varkon
