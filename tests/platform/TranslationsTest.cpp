// Qt's own texts in the Chinese program: the standard buttons of its message
// boxes and the edit menus of its edit boxes come from Qt's Chinese
// translations, whatever the machine's language; without them the program
// keeps the English texts.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <memory>

#include "platform/Translations.h"

namespace {

bool hasChinese(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    return false;
}

// Every named action of a context menu, for the trace.
void expectChineseActions(QMenu& menu) {
    int named = 0;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator()) continue;
        ++named;
        EXPECT_TRUE(hasChinese(action->text())) << action->text().toStdString();
    }
    EXPECT_GT(named, 0);
}

// The refusals, the screen-size message, the fatal report and the update
// prompt used to show English "OK", "Yes" and "No" buttons.
TEST(ChineseTranslations, StandardButtonsAndEditMenusAreChinese) {
    // The machine's language is not the program's.
    const QLocale machine;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_TRUE(platform::installChineseTranslations());
    QLocale::setDefault(machine);

    struct Standard {
        QMessageBox::StandardButton button;
        const char* source;  // the platform's English text, as the translations know it
    };
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No);
    for (Standard s : {Standard{QMessageBox::Ok, "OK"}, Standard{QMessageBox::Yes, "&Yes"},
                       Standard{QMessageBox::No, "&No"}}) {
        SCOPED_TRACE(s.source);
        QString shown = box.button(s.button)->text();
        EXPECT_NE(shown, QString::fromLatin1(s.source));
        EXPECT_EQ(shown, QCoreApplication::translate("QPlatformTheme", s.source));
        EXPECT_TRUE(hasChinese(shown)) << shown.toStdString();
    }

    QLineEdit line;
    std::unique_ptr<QMenu> lineMenu(line.createStandardContextMenu());
    expectChineseActions(*lineMenu);
    QPlainTextEdit text;
    std::unique_ptr<QMenu> textMenu(text.createStandardContextMenu());
    expectChineseActions(*textMenu);
}

TEST(ChineseTranslations, WithoutThemTheTextsStayAsTheyWere) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    const QString before = QCoreApplication::translate("QPlatformTheme", "OK");
    EXPECT_FALSE(platform::installChineseTranslations(empty.path()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), before);
}

}  // namespace
