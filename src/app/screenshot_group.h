// a picture of the group editor with example fields, taken without a screen
#pragma once

#include "app/app_startup.h"

class QWidget;

namespace corvane {

// The editor as a user sees it after choosing a group, over the given window, translated with the
// request's language; grabbed into request.file. Returns the process exit code: 0 when written.
int TakeGroupEditorScreenshot(QWidget* owner, const ScreenshotRequest& request, const QString& languageFile);

} // namespace corvane
