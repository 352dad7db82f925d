// The texts of the current language, by text id, and controls whose text is an id: such a
// control keeps its id in the "textId" property and shows the id's text, which is looked up
// again whenever the language changes. An id the language lacks shows as the id itself.
#pragma once

#include <map>
#include <string>

class QWidget;

namespace varkon {

inline constexpr const char* kTextIdProperty = "textId";

// Replaces the current language's texts.
void SetLanguageTexts(std::map<std::string, std::string> texts);
// Whether a language's texts have been set (before that, controls keep their skin's texts).
bool LanguageTextsLoaded();
// The text of `id` in the current language, or `id` itself.
std::string LanguageText(const std::string& id);

// Gives `control` the text id `id` and shows its text (labels, buttons, check boxes, group
// boxes and windows). False for a null control.
bool SetControlTextId(QWidget* control, const std::string& id);
// Shows, for `root` and every control under it that has a text id, that id's current text.
// Returns how many controls it set.
int ApplyTextIds(QWidget* root);

}  // namespace varkon
