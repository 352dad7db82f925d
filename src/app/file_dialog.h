// The file dialogs of the profile and macro panels: Qt's file dialog, which is the desktop's own
// where the platform offers one. While a dialog is open a script can answer it (AnswerFileDialog)
// or cancel it; the answer is taken even where the desktop's dialog cannot be driven from here.
#pragma once

#include <optional>
#include <string>

class QWidget;

namespace varkon {

inline constexpr const char* kProfileFileFilter = "Profile Files(*.json)";
inline constexpr const char* kMacroFileFilter = "Macro Files(*.mac)";

// The files a dialog offers: its filter and the suffix a saved name gets.
struct FileKind {
  const char* filter;
  const char* suffix;
};
inline constexpr FileKind kProfileFiles{kProfileFileFilter, "json"};
inline constexpr FileKind kMacroFiles{kMacroFileFilter, "mac"};
inline constexpr FileKind kShootFiles{"Shoot Files(*.shoot)", "shoot"};

enum class FileDialogMode { kOpen, kSave };

// Asks for a file; nullopt when the user cancels. A save dialog adds the kind's suffix to a name
// without an extension.
std::optional<std::string> AskFilePath(QWidget* parent, FileDialogMode mode,
                                       const std::string& suggestedName = {},
                                       const FileKind& kind = kProfileFiles);

// Whether a file dialog is open now.
bool FileDialogOpen();
// Ends the open dialog with `path` as the chosen file, or cancels it. False when none is open.
bool AnswerFileDialog(const std::string& path);
bool CancelFileDialog();

}  // namespace varkon
