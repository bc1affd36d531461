// The real main window, loaded from the embedded template onto the Qt window
// layer: its controls, start-up sizing, resizing, the close query, the ups
// box, the menu, and the ways the program ends.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <thread>

#include "app/FileMenu.h"
#include "app/Globals.h"
#include "app/Program.h"
#include "forms/Template.h"
#include "grid/GridMethods.h"
#include "grid/GridUnit.h"
#include "platform/Gbk.h"
#include "runtime/Commands.h"
#include "runtime/EntryTable.h"
#include "runtime/Heap.h"
#include "runtime/Program.h"
#include "runtime/Properties.h"
#include "runtime/Text.h"
#include "window/WindowTestSupport.h"

using namespace app_test;
namespace control = calc::control;

namespace {

QMenuBar* menuBarOf(QWidget* window) {
    auto* main = qobject_cast<QMainWindow*>(window);
    return main ? main->menuBar() : window->findChild<QMenuBar*>();
}

class MainWindow : public MainWindowFixture {
protected:
    // Resizes the window to the client size and lets the size-changed handler run.
    void resizeClient(int w, int h) {
        setProperty(control::Window, rt::prop::Width, property(control::Window, rt::prop::Width) - clientWidth() + w);
        setProperty(control::Window, rt::prop::Height,
                    property(control::Window, rt::prop::Height) - clientHeight() + h);
        settle();
    }
};

struct ControlRow {
    rt::ControlId id;
    const char* name;
    int left, top, width, height;
    bool visible;
};

// The controls in template order, with the heights the size-changed handler gives the tall grids.
const ControlRow kControls[] = {
    {0x16010756, "标签次数", 376, 115, 57, 16, true},     {0x16010741, "组合框1", 272, 112, 93, 20, true},
    {0x160106D9, "编辑框1", 832, 24, 384, 584, true},     {0x160106BE, "标签A1", 303, 519, 96, 16, false},
    {0x160100FF, "标签款数量", 269, 27, 157, 18, true},    {0x160100CD, "高级表格D1", 1026, 172, 184, 483, false},
    {0x160100CC, "高级表格C1", 832, 172, 184, 483, false}, {0x160100CB, "高级表格B1", 638, 172, 184, 483, true},
    {0x160100CA, "高级表格D2", 1026, 25, 185, 145, false}, {0x160100C9, "高级表格C2", 832, 25, 185, 145, false},
    {0x160100C8, "高级表格B2", 638, 25, 185, 145, true},   {0x160100C5, "高级表格A2", 444, 25, 185, 145, true},
    {0x160100C3, "高级表格A1", 444, 172, 184, 483, true},  {0x160100C1, "编辑框信息", 2, 7, 155, 314, true},
    {0x160100C0, "外形框1", 265, 145, 171, 328, true},     {0x160100BB, "标签2", 268, 53, 69, 17, true},
    {0x160100A8, "单选框2", 289, 546, 125, 19, false},     {0x160100A7, "单选框1", 289, 489, 125, 19, false},
    {0x16010093, "按钮计算", 274, 79, 153, 26, true},      {0x16010080, "编辑框模数", 347, 49, 79, 25, true},
    {0x16010067, "高级表格订单", 6, 25, 253, 630, true},   {0x16010084, "图片框1", 7, 2, 1200, 20, true},
};

TEST_F(MainWindow, OpensAsTheTemplateDescribesIt) {
    start();
    EXPECT_EQ(window->windowTitle(), utf8("VelmoraImpostra2.11 - 测试版    最多支持分两版"));
    EXPECT_EQ(clientWidth(), 1214);
    EXPECT_EQ(clientHeight(), 660);
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        QWidget* w = window->findChild<QWidget*>(utf8(row.name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w, widget(row.id));
        EXPECT_EQ(w->geometry(), QRect(row.left, row.top, row.width, row.height));
        EXPECT_EQ(w->isVisible(), row.visible);
        EXPECT_EQ(property(row.id, rt::prop::Visible), row.visible ? 1 : 0);
    }
    // The report box lies inside its frame.
    EXPECT_EQ(widget(control::Report)->parentWidget(), widget(control::ReportFrame));

    EXPECT_EQ(text(control::Ups, calc::property::EditContent), "48");
    EXPECT_EQ(text(control::Compute, calc::property::ButtonCaption), gbk("开始计算"));
    EXPECT_EQ(property(control::TrialChoice, calc::property::ComboSelection), 3);
    auto* combo = qobject_cast<QComboBox*>(widget(control::TrialChoice));
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    EXPECT_EQ(items, QStringList({utf8("随机10次"), utf8("随机50次"), utf8("随机100次"), utf8("随机500次"),
                                  utf8("随机1000次"), utf8("随机10000次"), utf8("最优分版")}));
    EXPECT_EQ(text(control::Difference, calc::property::LabelCaption), gbk("相差0张"));
    EXPECT_EQ(text(control::UpsCaption, calc::property::LabelCaption), gbk("单版模数"));

    std::string about = text(control::About, calc::property::EditContent);
    EXPECT_EQ(about.rfind(gbk("VelmoraImpostra2.11 - 测试版  \r\n\r\n最多支持分两版  \r\n\r\n"), 0), 0u);
    std::string tail = gbk("\r\n此软件为测试版本，本软件不存在恶意攻击行为，使用本软件引起的一切责任后果均与作者无关。");
    ASSERT_GE(about.size(), tail.size());
    EXPECT_EQ(about.substr(about.size() - tail.size()), tail);
    EXPECT_EQ(widget(control::Banner)->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(MainWindow, MenuBarShowsTheFileMenuAlone) {
    start();
    QMenuBar* bar = menuBarOf(window);
    ASSERT_NE(bar, nullptr);
    QStringList top, items;
    for (QAction* a : bar->actions())
        if (a->isVisible()) top << a->text();
    ASSERT_EQ(top, QStringList({utf8("文件")}));
    QMenu* file = bar->actions().front()->menu();
    ASSERT_NE(file, nullptr);
    for (QAction* a : file->actions()) items << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(items, QStringList({utf8("新建"), utf8("打开"), utf8("保存"), utf8("另存为"), "-", utf8("退出")}));

    // 打开, 保存 and 另存为 ask for a file; cancelled there, they change nothing.
    int asked = 0;
    app::setFileNameAskerForTesting([&](app::FileQuestion, const QString&) {
        ++asked;
        return QString();
    });
    grid::call::setCellText(calc::kMainWindow, control::OrderGrid, 1, 1, "500");
    setText(control::Ups, calc::property::EditContent, "12");
    for (QAction* a : file->actions())
        if (a->text() == utf8("打开") || a->text() == utf8("保存") || a->text() == utf8("另存为")) a->trigger();
    settle();
    app::setFileNameAskerForTesting({});
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(text(control::Ups, calc::property::EditContent), "12");
    EXPECT_EQ(grid::call::getCellText(calc::kMainWindow, control::OrderGrid, 1, 1), "500");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(MainWindow, KeepsItsMinimumClientSizeAndStretchesTheTallGrids) {
    start();
    QPoint topLeft = window->pos();
    resizeClient(900, 500);  // both too small: both snap back
    EXPECT_EQ(clientWidth(), 1214);
    EXPECT_EQ(clientHeight(), 660);
    EXPECT_EQ(widget(control::OrderGrid)->height(), 630);
    EXPECT_EQ(widget(control::GridA1)->height(), 483);

    resizeClient(1300, 800);
    EXPECT_EQ(clientHeight(), 800);
    EXPECT_EQ(widget(control::OrderGrid)->height(), 770);
    for (rt::ControlId g : {control::GridA1, control::GridB1, control::GridC1, control::GridD1})
        EXPECT_EQ(widget(g)->height(), 623);
    EXPECT_EQ(widget(control::GridA2)->height(), 145);  // summary grids and every position stay
    EXPECT_EQ(widget(control::GridA1)->pos(), QPoint(444, 172));
    EXPECT_EQ(widget(control::Compute)->geometry(), QRect(274, 79, 153, 26));

    resizeClient(1000, 700);  // narrower only: the width comes back, the height stays as dragged
    EXPECT_EQ(clientWidth(), 1214);
    EXPECT_EQ(clientHeight(), 700);
    EXPECT_EQ(widget(control::OrderGrid)->height(), 670);
    EXPECT_EQ(window->pos(), topLeft);
}

// A drag that shrank both directions in one move left the window 200 pixels
// taller than the minimum: the width's write ran the handler again, and the
// outer run then added the missing height a second time.
TEST_F(MainWindow, ShrinkingBothDirectionsInOneMoveSnapsBackToTheMinimum) {
    start();
    const QSize outer = window->size();
    // The window manager is told the minimum; the handler must also hold it
    // where a window manager takes no such hint.
    EXPECT_EQ(window->minimumSize(), outer);
    window->setMinimumSize(0, 0);
    for (QSize change : {QSize(-400, -200), QSize(-1, -1), QSize(-900, -600)}) {
        SCOPED_TRACE(change.width());
        window->resize(outer + change);
        settle();
        EXPECT_EQ(clientWidth(), 1214);
        EXPECT_EQ(clientHeight(), 660);
        EXPECT_EQ(window->size(), outer);
        EXPECT_EQ(widget(control::OrderGrid)->height(), 630);
        for (rt::ControlId g : {control::GridA1, control::GridB1, control::GridC1, control::GridD1})
            EXPECT_EQ(widget(g)->height(), 483);
    }
    // Taller but narrower in one move: the width comes back, the height stays.
    window->resize(outer + QSize(-300, 100));
    settle();
    EXPECT_EQ(clientWidth(), 1214);
    EXPECT_EQ(clientHeight(), 760);
    EXPECT_EQ(widget(control::OrderGrid)->height(), 730);
}

TEST_F(MainWindow, CannotBeClosedWhileACalculationRuns) {
    start();
    setText(control::Compute, calc::property::ButtonCaption, gbk("结束计算"));
    EXPECT_FALSE(window->close());
    settle();
    EXPECT_TRUE(window->isVisible());
    setText(control::Compute, calc::property::ButtonCaption, gbk("开始计算"));
    QPointer<QWidget> guard(window);
    EXPECT_TRUE(window->close());
    settle();
    EXPECT_TRUE(guard.isNull() || !guard->isVisible());
}

TEST_F(MainWindow, UpsBoxFallsBackToOneWhenLeftBelowOne) {
    start();
    auto* ups = qobject_cast<QLineEdit*>(widget(control::Ups));
    ASSERT_NE(ups, nullptr);
    QWidget* other = widget(control::TrialChoice);
    struct Case {
        const char* typed;
        const char* left;
    };
    for (const Case& c : {Case{"0", "1"}, Case{"-5", "1"}, Case{"", "1"}, Case{"12", "12"}, Case{"4567", "456"},
                          Case{"7a", "7"}}) {
        SCOPED_TRACE(c.typed);
        ups->setFocus();
        settle();
        ups->selectAll();
        QTest::keyClick(ups, Qt::Key_Backspace);
        QTest::keyClicks(ups, c.typed);
        other->setFocus();
        settle();
        EXPECT_EQ(text(control::Ups, calc::property::EditContent), c.left);
    }
}

TEST_F(MainWindow, RefusesScreensBelowTheMinimum) {
    struct Case {
        int width, height;
        bool refused;
    };
    for (const Case& c : {Case{1279, 1024, true}, Case{1920, 799, true}, Case{1280, 800, false}}) {
        SCOPED_TRACE(c.width);
        TearDown();
        SetUp();
        host.boxes.clear();
        host.threadsStarted = 0;
        host.screen = rt::ScreenSize{c.width, c.height};
        int exitCode = -100;
        try {
            start();
        } catch (const ProgramExit& e) {
            exitCode = e.code;
        }
        if (!c.refused) {
            EXPECT_EQ(exitCode, -100);
            EXPECT_TRUE(host.boxes.empty());
            EXPECT_EQ(host.threadsStarted, 1);  // the update check starts last
            continue;
        }
        EXPECT_EQ(exitCode, 0);
        ASSERT_EQ(host.boxes.size(), 1u);
        EXPECT_EQ(host.boxes[0].text, gbk("请在屏蔽分辨率 1280*800 以上的环境使用本软件。谢谢！"));
        EXPECT_EQ(host.boxes[0].caption, gbk("屏幕分辨率太低！"));
        EXPECT_EQ(host.boxes[0].style & 0xFFu, 0u);
        EXPECT_EQ(host.threadsStarted, 0);
    }
}

TEST_F(MainWindow, MissingControlsAreAFatalReport) {
    start();
    EXPECT_EQ(exitCodeOf([] { rt::ReadProperty(calc::kMainWindow, 0x16019999, rt::prop::Left, -1); }), -1);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].caption, gbk("错误"));
    EXPECT_EQ(host.boxes[0].text,
              gbk("运行时出错!\r\n\r\n错误信息：指定窗口或窗口组件不存在或尚未载入\r\n"
                  "\r\n运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看): ") +
                  std::to_string(static_cast<int32_t>(calc::kMainWindow)) + ", " +
                  std::to_string(static_cast<int32_t>(0x16019999)) +
                  gbk("\r\n所访问窗口的\"标记\"属性值: \"\"\r\n未找到所指定的窗口组件\r\n"));
}

// ---- Ending the program (in child processes) ------------------------------------

void markCleanup(int position) { std::fprintf(stderr, "[clean-up %d]", position); }

// Runs the real start-up in the child, with a second clean-up routine that
// shows when the clean-up list runs.
void startInChild() {
    static platform::QtHost qtHost;
    rt::setHost(&qtHost);
    forms::installWindowLayer();
    grid::installGridUnit();
    forms::installTemplateReader();
    rt::RuntimeService(rt::service::Initialise, reinterpret_cast<uintptr_t>(&app::programHeader()));
    app::initGlobals();
    rt::RuntimeService(rt::service::RegisterCleanup, reinterpret_cast<uintptr_t>(&markCleanup));
    rt::RuntimeService(rt::service::RegisterCleanup, reinterpret_cast<uintptr_t>(&markCleanup));  // kept once
    rt::LoadWindow(calc::kMainWindow);
}

TEST(MainWindowDeathTest, ExitMenuEndsWithCodeZeroAndCleansUpOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startInChild();
            // Even while a calculation runs: the close query is not asked.
            rt::WriteProperty(calc::kMainWindow, control::Compute, calc::property::ButtonCaption, -1,
                              rt::Words::ofPointer(platform::utf8ToGbk("结束计算").c_str()));
            for (QAction* top : menuBarOf(widget(control::Window))->actions())
                for (QAction* item : top->menu()->actions())
                    if (item->text() == utf8("退出")) QTimer::singleShot(0, item, &QAction::trigger);
            rt::RunMessageLoop();
            std::_Exit(9);
        },
        ::testing::ExitedWithCode(0), "\\[clean-up 0\\]$");
}

TEST(MainWindowDeathTest, EndFromASecondThreadEndsThroughTheMainThread) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startInChild();
            std::thread([] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                rt::EndProgram(0);
            }).detach();
            rt::RunMessageLoop();
            std::_Exit(9);
        },
        ::testing::ExitedWithCode(0), "\\[clean-up 0\\]$");
}

TEST(MainWindowDeathTest, ClosingTheWindowEndsTheLoop) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startInChild();
            QTimer::singleShot(50, [] { widget(control::Window)->close(); });
            rt::RunMessageLoop();
            std::fprintf(stderr, "[loop ended]");
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "\\[loop ended\\]$");
}

}  // namespace
