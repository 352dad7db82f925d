// Makes the editor panels known to a skin loader: their classes under their skin tags, and the
// tags that stand for a whole editor built from its own skin file.
#pragma once

namespace varkon::ui {
class SkinLoader;
}

namespace varkon {

// Registers "LightControl" (the lighting editor panel) and the sub-tree tag
// "LightSetControlUI", which device panels use to hold a lighting editor.
void RegisterEditorControls(ui::SkinLoader& loader);

}  // namespace varkon
