#include "app/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

namespace varkon {

namespace {

// The dialog that is open (one at a time: it is modal) and a script's answer to it.
QPointer<QFileDialog> g_open;
std::optional<std::string> g_answer;

}  // namespace

std::optional<std::string> AskFilePath(QWidget* parent, FileDialogMode mode,
                                       const std::string& suggestedName, const FileKind& kind) {
  if (g_open) return std::nullopt;
  QFileDialog dialog(parent);
  dialog.setNameFilter(QString::fromLatin1(kind.filter));
  dialog.setDirectory(QDir::homePath());
  if (mode == FileDialogMode::kSave) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromLatin1(kind.suffix));
    if (!suggestedName.empty()) dialog.selectFile(QString::fromStdString(suggestedName));
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  g_open = &dialog;
  g_answer.reset();
  const int result = dialog.exec();
  g_open = nullptr;
  std::optional<std::string> answer = std::move(g_answer);
  g_answer.reset();
  if (answer) {
    if (answer->empty()) return std::nullopt;
    // A script's file name for a save gets the suffix the dialog would have added.
    if (mode == FileDialogMode::kSave &&
        QFileInfo(QString::fromStdString(*answer)).suffix().isEmpty()) {
      *answer += std::string(".") + kind.suffix;
    }
    return answer;
  }
  if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

bool FileDialogOpen() {
  return !g_open.isNull();
}

bool AnswerFileDialog(const std::string& path) {
  if (!g_open || path.empty()) return false;
  g_answer = path;
  // The answer is taken whatever the dialog holds, so it ends as if cancelled.
  g_open->reject();
  return true;
}

bool CancelFileDialog() {
  if (!g_open) return false;
  g_answer = std::string();
  g_open->reject();
  return true;
}

}  // namespace varkon
