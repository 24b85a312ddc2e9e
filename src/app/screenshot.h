// pictures of the main window in its states, taken without a screen
#pragma once

#include "app/app_startup.h"

namespace corvane {

class FormMain;

// The language file a screenshot request names: the path itself when it is a file, else the
// file of that code in the "Lng" folder beside the program; empty when there is none.
QString ScreenshotLanguageFile(const ScreenshotRequest& request);

// Puts the window into the requested state, shows it, grabs it into request.file.
// Returns the process exit code: 0 when the picture was written.
int TakeScreenshot(FormMain& window, const ScreenshotRequest& request);

} // namespace corvane
