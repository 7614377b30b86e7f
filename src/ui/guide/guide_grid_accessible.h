#ifndef VIDORA_UI_GUIDE_GUIDE_GRID_ACCESSIBLE_H_
#define VIDORA_UI_GUIDE_GUIDE_GRID_ACCESSIBLE_H_

namespace vidora {

// Makes screen readers see the guide grid as a table whose children are
// the visible programme blocks: each named "HH:MM Title" (local time), its
// description the channel's name, the selected one focused. Call once
// after the application object exists; later calls do nothing.
void InstallGuideGridAccessibility();

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_GUIDE_GRID_ACCESSIBLE_H_
