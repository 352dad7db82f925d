// Background and foreground of a control: a colour (0xAARRGGBB, 0 meaning none) and an image
// (a skin image name). They are kept as dynamic properties, which skins may also set in
// Designer, and drawn through a style sheet block that applies to the control alone (the
// control's own style sheet from the skin is kept in front of it). A control with a background
// colour or image of its own is drawn flat, without the native frame.
//
// Image names are relative to the skin folder of the tree the control belongs to; the DuiLib
// style "file='name.png' ..." form is accepted and only its file is used.
#pragma once

#include <cstdint>

class QString;
class QWidget;

namespace varkon::ui {

inline constexpr const char* kBackgroundColourProperty = "bkcolor";
inline constexpr const char* kBackgroundImageProperty = "bkimage";
inline constexpr const char* kForegroundColourProperty = "textcolor";
inline constexpr const char* kForegroundImageProperty = "foreimage";
// A picture file of the user's own as the background (an absolute path chosen in a file
// dialog, not a skin file), used when the control has no "bkimage".
inline constexpr const char* kBackgroundFileProperty = "bkfile";
// Set (true) by a control that paints its "bkimage" itself: the style sheet then leaves it out.
inline constexpr const char* kOwnBackgroundProperty = "ownbackground";

// False for a null control or a refused image name (the control is left unchanged).
bool SetBackgroundColour(QWidget* control, uint32_t argb);
bool SetBackgroundImage(QWidget* control, const QString& image);
// False (nothing changed) when `path` is not an existing file or holds a quote or a backslash;
// an empty path removes it.
bool SetBackgroundFile(QWidget* control, const QString& path);
bool SetForegroundColour(QWidget* control, uint32_t argb);
bool SetForegroundImage(QWidget* control, const QString& image);

uint32_t BackgroundColour(const QWidget* control);
QString BackgroundImage(const QWidget* control);
uint32_t ForegroundColour(const QWidget* control);
QString ForegroundImage(const QWidget* control);

// Parses "#AARRGGBB", "#RRGGBB" (opaque), "0xAARRGGBB" or a decimal number.
bool ParseColour(const QString& text, uint32_t* argb);
// The file of an image attribute: "a.png" or "file='a.png' source='0,0,9,9'" give "a.png".
QString ImageFileOf(const QString& attribute);
// The path an image name of `control` stands for; empty when the name is refused.
QString ResolveSkinImage(const QWidget* control, const QString& image);

// Applies the style properties of `root` and every control under it (after loading a skin).
void ApplySkinStyles(QWidget* root);

}  // namespace varkon::ui
