// The window's own events: the close questions and their veto, move and size
// events, and the menu bar built from the menu items.
#include "FormsTestSupport.h"

#include <QMenu>
#include <QMenuBar>

using namespace forms_test;

namespace {

class WindowEventsTest : public FormsFixture {
protected:
    // A window whose events 12 and 1 run slots 0 and 1, events 3 and 4 slots 3 and 4.
    void loadWindow() {
        TestWindow w;
        w.bind(0, 12, 0);
        w.bind(0, 1, 1);
        w.bind(0, 3, 3);
        w.bind(0, 4, 4);
        w.install();
        ASSERT_EQ(rt::LoadWindow(kWin), 1);
        handlers().calls.clear();
    }
    bool loaded() { return rt::windowTable().front().loaded(); }
};

TEST_F(WindowEventsTest, CloseIsVetoedByEitherQuestionAnsweringFalse) {
    loadWindow();
    for (int vetoing : {0, 1}) {
        SCOPED_TRACE(vetoing);
        handlers().answers = {};
        handlers().answers[vetoing] = rt::HandlerResult::ofBool(false);
        handlers().calls.clear();
        EXPECT_FALSE(windowWidget()->close());
        flushDeletes();
        EXPECT_TRUE(loaded());
        // Event 12 is asked first; a veto there leaves event 1 unasked.
        EXPECT_EQ(handlers().slotsCalled(), (vetoing == 0 ? std::vector<int>{0} : std::vector<int>{0, 1}));
    }
}

TEST_F(WindowEventsTest, CloseGoesAheadWhenTheHandlersAnswerNothingOrTrue) {
    loadWindow();
    handlers().answers[0] = rt::HandlerResult::ofBool(true);
    EXPECT_TRUE(windowWidget()->close());
    flushDeletes();
    EXPECT_FALSE(loaded());
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{0, 1}));
    EXPECT_EQ(rt::windowTable().front().rebuildMenu, nullptr);
}

TEST_F(WindowEventsTest, RuntimeClosesWithoutAsking) {
    loadWindow();
    handlers().answers[1] = rt::HandlerResult::ofBool(false);
    forms::destroyAllWindows();
    EXPECT_FALSE(loaded());
    EXPECT_TRUE(handlers().calls.empty());
}

TEST_F(WindowEventsTest, MovesAndSizeChangesRaiseEvents3And4Once) {
    loadWindow();
    writeInt(0, rt::prop::Width, readInt(0, rt::prop::Width) + 30);
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{4}));
    handlers().calls.clear();
    writeInt(0, rt::prop::Left, readInt(0, rt::prop::Left) + 5);
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{3}));
    handlers().calls.clear();
    writeInt(0, rt::prop::Width, readInt(0, rt::prop::Width));  // no change
    EXPECT_TRUE(handlers().calls.empty());
}

// The template's menu: a hidden level-0 entry takes its items with it.
class MenuTest : public FormsFixture {
protected:
    static constexpr rt::ControlId kFile = 0x2601034A, kNew = 0x2601034B, kSave = 0x2601034D, kSeparator = 0x2601034F,
                                   kExit = 0x26010350, kAbout = 0x260105FB, kBuy = 0x260105FD;
    void loadWindow() {
        TestWindow w;
        w.menuItem(kFile, 0, "文件");
        w.menuItem(kNew, 1, "新建", rt::unitflag::Checked);
        w.menuItem(kSave, 1, "保存", rt::unitflag::Disabled);
        w.menuItem(kSeparator, 1, "-");
        w.menuItem(kExit, 1, "退出", 0, 5);
        w.menuItem(kAbout, 0, "关于", rt::unitflag::Visible);  // bit 0: hidden
        w.menuItem(kBuy, 1, "购买软件", 0, 6);
        w.install();
        ASSERT_EQ(rt::LoadWindow(kWin), 1);
    }
    QMenuBar* bar() { return windowWidget()->menuBar(); }
    QMenu* fileMenu() {
        auto actions = bar()->actions();
        return actions.isEmpty() ? nullptr : actions.front()->menu<QMenu*>();
    }
    QStringList fileItems() {
        QStringList items;
        for (QAction* a : fileMenu()->actions()) items << (a->isSeparator() ? QStringLiteral("|") : a->text());
        return items;
    }
};

TEST_F(MenuTest, BarShowsOnlyTheVisibleEntryWithItsItems) {
    loadWindow();
    EXPECT_TRUE(bar()->isVisible());
    ASSERT_EQ(bar()->actions().size(), 1);
    EXPECT_EQ(bar()->actions().front()->text(), QStringLiteral("文件"));
    ASSERT_TRUE(fileMenu());
    EXPECT_EQ(fileItems(), (QStringList{QStringLiteral("新建"), QStringLiteral("保存"), QStringLiteral("|"),
                                        QStringLiteral("退出")}));
    QList<QAction*> items = fileMenu()->actions();
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_FALSE(items[1]->isEnabled());
}

TEST_F(MenuTest, ChoosingAnItemRunsItsClickHandler) {
    loadWindow();
    fileMenu()->actions()[3]->trigger();
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{5}));
    EXPECT_EQ(rt::currentEventSource().window, 0u);
}

TEST_F(MenuTest, ChangedItemsRebuildTheBar) {
    loadWindow();
    writeText(kNew, rt::menuprop::Caption, gbk("新建2"));
    writeInt(kSave, rt::menuprop::Visible, 0);
    EXPECT_EQ(fileItems(), (QStringList{QStringLiteral("新建2"), QStringLiteral("|"), QStringLiteral("退出")}));
    // The hidden entry comes back with its items.
    writeInt(kAbout, rt::menuprop::Visible, 1);
    ASSERT_EQ(bar()->actions().size(), 2);
    QMenu* about = bar()->actions()[1]->menu<QMenu*>();
    ASSERT_TRUE(about);
    about->actions().front()->trigger();
    EXPECT_EQ(handlers().slotsCalled(), (std::vector<int>{6}));
    flushDeletes();
}

TEST_F(MenuTest, WindowWithoutShownItemsHasNoMenuBar) {
    TestWindow w;
    w.menuItem(kAbout, 0, "关于", rt::unitflag::Visible);
    w.menuItem(kBuy, 1, "购买软件");
    w.install();
    ASSERT_EQ(rt::LoadWindow(kWin), 1);
    EXPECT_FALSE(bar()->isVisible());
    EXPECT_EQ(windowWidget()->menuHeight(), 0);
    EXPECT_EQ(rt::findLiveControl(kWin, 0)->clientRect().height, windowWidget()->height());
}

}  // namespace
