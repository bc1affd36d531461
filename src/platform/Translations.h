// Qt's own texts in Chinese: the standard buttons of message boxes, the edit
// menus of edit boxes and the other texts that the platform's widgets show.
#pragma once

#include <QString>

namespace platform {

// Loads Qt's Simplified Chinese translations from `directory` (Qt's
// translations directory when empty) and installs them on the application
// object. The program is Chinese whatever the machine's language, so the
// machine's locale plays no part. False when they are not there (or there is
// no application object); the widgets then keep their English texts.
bool installChineseTranslations(const QString& directory = {});

}  // namespace platform
