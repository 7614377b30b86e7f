#ifndef VIDORA_UI_SETTINGS_SYSTEM_APP_PATHS_H_
#define VIDORA_UI_SETTINGS_SYSTEM_APP_PATHS_H_

#include "core/stores/app_paths.h"

namespace vidora {

// The process's file layout (ResolveAppPaths) from the executable's
// folder, the installed data folder (relative to the executable, then the
// one compiled in) and the user's XDG folders as QStandardPaths names
// them. UI thread; needs the application object.
AppPaths SystemAppPaths();

// Makes SystemAppPaths() the layout the core uses (SetAppPaths). Called at
// start-up before any file is read.
void InstallSystemAppPaths();

}  // namespace vidora

#endif  // VIDORA_UI_SETTINGS_SYSTEM_APP_PATHS_H_
