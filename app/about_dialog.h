// The About dialog: title, version, icon and contacts.
#pragma once

// Runs the About dialog with no owner, so the main dialog stays usable
// meanwhile; returns when it is closed.
void OpenAboutDialog();
