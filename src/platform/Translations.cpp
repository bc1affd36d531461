// Qt's Simplified Chinese translations installed on the application object.
#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

bool installChineseTranslations(const QString& directory) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) return false;
    const QString from = directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    // The application object owns the translator, which must live as long as the texts are used.
    auto* translator = new QTranslator(application);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China),
                          QStringLiteral("qtbase"), QStringLiteral("_"), from)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace platform
