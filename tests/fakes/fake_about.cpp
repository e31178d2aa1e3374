// The About dialog, as the main dialog sees it: it opens and, here, is
// closed at once.
#include "../../app/about_dialog.h"
#include "fakes.h"

void OpenAboutDialog() {
    LogCall("AboutDialog");
}
