// The menu items 新建, 打开, 保存 and 另存为 on the real window: orders saved
// and opened cell for cell (the file names asked through the test's answers
// instead of a dialog), spreadsheet exports, what is left out and said so,
// files that change nothing, the order cleared, saves that fail without
// harm, the refusals while a calculation runs, and the saved file read by
// impostra-cli.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <map>
#include <string>
#include <vector>

#include "app/FileMenu.h"
#include "calc/CalcState.h"
#include "calc/ComputeCommand.h"
#include "calc/CutTrials.h"
#include "calc/OrderFile.h"
#include "calc/OrderInput.h"
#include "calc/ResultTables.h"
#include "calc/TwoPlateSearch.h"
#include "grid/GridCtrl.h"
#include "grid/GridMethods.h"
#include "platform/Gbk.h"
#include "CalcWindowSupport.h"
#include "CliTestSupport.h"

using namespace calc_test;
using app::FileQuestion;

namespace {

constexpr int kRowsPerColumn = 50, kCells = 150;
constexpr const char* kNew = "新建";
constexpr const char* kOpen = "打开";
constexpr const char* kSave = "保存";
constexpr const char* kSaveAs = "另存为";

std::string utf8Of(const std::string& gbkText) { return platform::gbkToUtf8(gbkText); }

void writeFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
}

// The quantities of an order file by cell position, as 打开 places them.
std::map<int, std::string> cellsOfFile(const std::string& bytes) {
    std::map<int, std::string> cells;
    for (const calc::PlacedQuantity& q : calc::parseOrderFile(bytes).quantities)
        cells[static_cast<int>(q.position)] = std::to_string(q.quantity);
    return cells;
}

// The order file of the given quantity lines, as 保存 writes it.
std::string savedFile(int ups, const std::vector<std::string>& rows) {
    std::string text = "\xEF\xBB\xBF模数," + std::to_string(ups) + "\r\n订单数量\r\n";
    for (const std::string& row : rows) text += row + "\r\n";
    return text;
}

class FileMenu : public CalcWindow {
protected:
    void SetUp() override {
        CalcWindow::SetUp();
        ASSERT_TRUE(folder.isValid());
        app::setFileNameAskerForTesting([this](FileQuestion question, const QString& proposed) {
            asked.push_back({question, proposed});
            return answers.empty() ? QString() : answers.takeFirst();
        });
    }
    void TearDown() override {
        app::setFileNameAskerForTesting({});
        calc::setTrialOrderingsForTesting({});
        CalcWindow::TearDown();
    }

    QAction* menuItem(const char* caption) {
        auto* main = qobject_cast<QMainWindow*>(window);
        QMenuBar* bar = main ? main->menuBar() : window->findChild<QMenuBar*>();
        for (QAction* top : bar->actions())
            if (top->menu())
                for (QAction* item : top->menu()->actions())
                    if (item->text() == QString::fromUtf8(caption)) return item;
        return nullptr;
    }
    // A click on the item; returns when its handler has.
    void choose(const char* caption) {
        QAction* item = menuItem(caption);
        ASSERT_NE(item, nullptr) << caption;
        item->trigger();
    }
    void openFile(const QString& path) {
        answers = {path};
        choose(kOpen);
    }

    // Entries by cell position (column 1 rows 1 to 50, then columns 2 and 3).
    static void enterCells(const std::map<int, std::string>& cells) {
        for (const auto& [position, entry] : cells)
            grid::call::setCellText(kMainWindow, control::OrderGrid, position % kRowsPerColumn + 1,
                                    position / kRowsPerColumn + 1, entry);
        calc::recountOrder();
    }
    // The cells that hold anything, by position.
    static std::map<int, std::string> cells() {
        std::map<int, std::string> held;
        for (int p = 0; p < kCells; ++p) {
            std::string cell = grid::call::getCellText(kMainWindow, control::OrderGrid, p % kRowsPerColumn + 1,
                                                       p / kRowsPerColumn + 1);
            if (!cell.empty()) held[p] = cell;
        }
        return held;
    }
    static std::string ups() { return text(control::Ups, property::EditContent); }
    static std::string countLabel() { return text(control::OrderCount, property::LabelCaption); }
    std::string lastBox() const { return host.boxes.empty() ? "" : utf8Of(host.boxes.back().text); }
    QString pathOf(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
    // Every name in the folder, hidden ones included.
    QStringList folderNames(const QString& path) const {
        return QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    struct Question {
        FileQuestion question;
        QString proposed;
    };
    std::vector<Question> asked;
    QStringList answers;
    QTemporaryDir folder;
};

const std::map<int, std::string> kScattered = {
    {0, "1000"}, {1, "2500"}, {4, "700"}, {49, "99999999"}, {50, "1"}, {98, "36"}, {100, "12345"}, {149, "8"},
};

TEST_F(FileMenu, SavedOrdersOpenIntoTheSameCellsWithTheSameUps) {
    enterCells(kScattered);
    setUps("36");
    const QString path = pathOf("订单 春季 第2批.csv");  // Chinese and blanks
    answers = {path};
    choose(kSaveAs);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].question, FileQuestion::Save);
    EXPECT_TRUE(host.boxes.empty()) << lastBox();

    std::vector<std::string> rows(150);
    for (const auto& [position, entry] : kScattered) rows[position] = entry;
    EXPECT_EQ(readFile(path), savedFile(36, rows));
    EXPECT_EQ(folderNames(folder.path()), QStringList{QString::fromUtf8("订单 春季 第2批.csv")});

    host.answer = rt::MessageButton::Yes;
    choose(kNew);
    ASSERT_TRUE(cells().empty());
    host.boxes.clear();
    openFile(path);
    EXPECT_TRUE(host.boxes.empty()) << lastBox();
    EXPECT_EQ(cells(), kScattered);
    EXPECT_EQ(ups(), "36");
    EXPECT_EQ(countLabel(), gbk("共8款合计100016589个"));
    EXPECT_EQ(calc::state().order.quantities,
              (std::vector<int32_t>{1000, 2500, 700, 99999999, 1, 36, 12345, 8}));
    // Its own file: 保存 writes back to it.
    EXPECT_EQ(app::currentOrderFile(), path);
}

TEST_F(FileMenu, SaveAsksOnceThenWritesToTheSameFile) {
    enterCells({{0, "10"}});
    // Cancelled: nothing written, and the next 保存 asks again.
    choose(kSave);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(folderNames(folder.path()).isEmpty());

    const QString path = pathOf("a.csv");
    answers = {path};
    choose(kSave);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].question, FileQuestion::Save);
    EXPECT_EQ(readFile(path), savedFile(48, {"10"}));

    enterCells({{1, "20"}});
    setUps("7");
    choose(kSave);
    EXPECT_EQ(asked.size(), 2u);  // not asked again
    EXPECT_EQ(readFile(path), savedFile(7, {"10", "20"}));

    // 另存为 always asks, starting at the current file; cancelled, the file stays current.
    choose(kSaveAs);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[2].proposed, path);
    const QString other = pathOf("b.csv");
    answers = {other};
    choose(kSaveAs);
    EXPECT_EQ(readFile(other), savedFile(7, {"10", "20"}));
    EXPECT_EQ(app::currentOrderFile(), other);

    // After 新建 the name is forgotten.
    host.answer = rt::MessageButton::Yes;
    choose(kNew);
    enterCells({{0, "5"}});
    choose(kSave);
    EXPECT_EQ(asked.size(), 5u);
    EXPECT_EQ(readFile(other), savedFile(7, {"10", "20"}));
    EXPECT_TRUE(host.boxes.size() == 1u) << lastBox();  // the 新建 question alone
}

TEST_F(FileMenu, AnEmptyOrderIsNotSaved) {
    answers = {pathOf("empty.csv")};
    choose(kSave);
    EXPECT_TRUE(asked.empty());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(lastBox(), "订单数量为空，没有可以保存的订单。");
    EXPECT_TRUE(folderNames(folder.path()).isEmpty());
}

TEST_F(FileMenu, OpensListsAndSpreadsheetExports) {
    struct Case {
        const char* name;
        std::string bytes;
        std::map<int, std::string> cells;
        const char* ups;
    };
    std::string fiftyFive;
    for (int i = 1; i <= 55; ++i) fiftyFive += std::to_string(i * 10) + "\n";
    const std::vector<Case> cases = {
        {"plain.txt", "1000\n2500\n\n700\n", {{0, "1000"}, {1, "2500"}, {3, "700"}}, "48"},
        {"export.csv", "款号,颜色,订单数量,单价\r\nA01,红,1000,0.5\r\nA02,蓝,,0.5\r\nA03,白,\"2,500\",0.6\r\n",
         {{0, "1000"}, {2, "2500"}}, "48"},
        {"tabs.txt", "款号\t订单数量\nA\t300\nB\t400\n", {{0, "300"}, {1, "400"}}, "48"},
        {"gbk.csv", platform::utf8ToGbk("模数,24\r\n款号,订单数量\r\n甲,600\r\n乙,800\r\n"), {{0, "600"}, {1, "800"}},
         "24"},
        {"fifty-five.txt", fiftyFive, {}, "48"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::map<int, std::string> expected = c.cells;
        if (expected.empty())
            for (int i = 0; i < 55; ++i) expected[i] = std::to_string((i + 1) * 10);  // on into column 2
        enterCells({{10, "1"}, {120, "2"}});  // replaced, not kept
        setUps("48");
        const QString path = pathOf(c.name);
        writeFile(path, c.bytes);
        openFile(path);
        EXPECT_TRUE(host.boxes.empty()) << lastBox();
        host.boxes.clear();
        EXPECT_EQ(cells(), expected);
        EXPECT_EQ(ups(), c.ups);
        EXPECT_EQ(calc::state().order.styleCount, static_cast<int32_t>(expected.size()));
        // Not the program's own file: 保存 asks rather than write over it.
        EXPECT_TRUE(app::currentOrderFile().isEmpty());
    }
}

TEST_F(FileMenu, QuantitiesPastTheGridAreNamedInOneMessage) {
    std::string text;
    for (int i = 1; i <= 200; ++i) text += std::to_string(i) + "\n";
    writeFile(pathOf("200.txt"), text);
    openFile(pathOf("200.txt"));
    EXPECT_EQ(calc::state().order.styleCount, 150);
    EXPECT_EQ(cells().at(149), "150");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(lastBox(),
              "已载入 150 款订单。\r\n\r\n50 个数量超出订单表格的 150 格，没有载入："
              "\r\n第 151 行：151\r\n第 152 行：152\r\n第 153 行：153\r\n第 154 行：154\r\n第 155 行：155\r\n……");
    EXPECT_EQ(utf8Of(host.boxes[0].caption), "提示");
}

TEST_F(FileMenu, EntriesThatAreNoQuantityAreCountedAndTheirCellsStayEmpty) {
    writeFile(pathOf("junk.csv"), "模数,abc\n订单数量\n1000\n一千\n0\n2500\n-3\n4.5\n1e3\n99999999999\n700\n");
    openFile(pathOf("junk.csv"));
    EXPECT_EQ(cells(), (std::map<int, std::string>{{0, "1000"}, {3, "2500"}, {8, "700"}}));
    EXPECT_EQ(ups(), "48");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(lastBox(),
              "已载入 3 款订单。\r\n\r\n7 个条目不是有效的订单数量（1 至 99999999 的整数），没有载入："
              "\r\n第 1 行：模数 abc\r\n第 4 行：一千\r\n第 5 行：0\r\n第 7 行：-3\r\n第 8 行：4.5\r\n……");
    // A file that lost entries is not written back without asking.
    EXPECT_TRUE(app::currentOrderFile().isEmpty());
}

TEST_F(FileMenu, FilesThatGiveNoOrderLeaveEverythingAsItWas) {
    enterExampleOrder();
    chooseTrials(kTenTrials);
    press();
    ASSERT_EQ(report(), gbk(kExampleReport));
    const std::map<int, std::string> before = cells();

    QFile big(pathOf("big.txt"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(app::kMaxOrderFileBytes + 1));
    big.close();
    writeFile(pathOf("picture.png"), std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10", 20));
    writeFile(pathOf("words.txt"), "款号,颜色\nA,红\nB,蓝\n");
    writeFile(pathOf("zeros.txt"), "0\n0\n");
    QDir(folder.path()).mkdir("folder.csv");

    struct Case {
        const char* name;
        const char* says;
    };
    const Case cases[] = {
        {"missing.csv", "文件不存在或不能读取。"},
        {"folder.csv", "文件不存在或不能读取。"},
        {"big.txt", "文件太大（超过 10 MB），不是订单文件。"},
        {"picture.png", "这不是文本文件"},
        {"words.txt", "文件中没有有效的订单数量（1 至 99999999 的整数）。"},
        {"zeros.txt", "2 个条目不是有效的订单数量"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.boxes.clear();
        openFile(pathOf(c.name));
        ASSERT_EQ(host.boxes.size(), 1u);
        const std::string box = lastBox();
        EXPECT_EQ(box.rfind("无法打开 " + QDir::toNativeSeparators(pathOf(c.name)).toStdString(), 0), 0u) << box;
        EXPECT_NE(box.find(c.says), std::string::npos) << box;
        EXPECT_NE(box.find("当前订单没有改变。"), std::string::npos) << box;
        EXPECT_EQ(cells(), before);
        EXPECT_EQ(ups(), "10");
        EXPECT_EQ(report(), gbk(kExampleReport));
        EXPECT_TRUE(property(control::OnePlate, rt::prop::Visible));
    }
}

TEST_F(FileMenu, NewAsksFirstAndClearsTheOrderAndEveryResult) {
    enterExampleOrder();
    chooseTrials(kTenTrials);
    press();
    calc::onTwoPlatesClicked();
    setProperty(control::TwoPlates, property::RadioChecked, 1);
    setText(control::TrialCounter, property::LabelCaption, "7");
    ASSERT_EQ(report(), gbk(kExampleReport));
    ASSERT_TRUE(property(control::Difference, rt::prop::Visible));

    // No: nothing changes.
    host.answer = rt::MessageButton::No;
    choose(kNew);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(lastBox(), "清空当前订单？");
    EXPECT_EQ(host.boxes[0].style & rt::mb::ButtonMask, rt::mb::YesNo);
    EXPECT_EQ(cells().size(), 3u);
    EXPECT_EQ(report(), gbk(kExampleReport));
    EXPECT_EQ(ups(), "10");
    EXPECT_EQ(property(control::TrialChoice, property::ComboSelection), kTenTrials);
    EXPECT_NE(grid::call::getCellText(kMainWindow, control::GridB2, 0, 1), "");

    // Yes: everything as the window starts.
    host.answer = rt::MessageButton::Yes;
    choose(kNew);
    EXPECT_EQ(host.boxes.size(), 2u);
    EXPECT_TRUE(cells().empty());
    EXPECT_EQ(countLabel(), gbk("共0款合计0个"));
    EXPECT_TRUE(calc::state().order.quantities.empty());
    EXPECT_TRUE(calc::state().plateOneList.empty());
    EXPECT_EQ(report(), "");
    EXPECT_EQ(text(control::Difference, property::LabelCaption), "");
    EXPECT_FALSE(property(control::Difference, rt::prop::Visible));
    EXPECT_EQ(trialShown(), "");
    for (rt::ControlId radio : {control::OnePlate, control::TwoPlates}) {
        EXPECT_FALSE(property(radio, rt::prop::Visible)) << std::hex << radio;
        EXPECT_FALSE(property(radio, property::RadioChecked)) << std::hex << radio;
    }
    for (rt::ControlId g : {control::GridA1, control::GridB1})
        EXPECT_EQ(property(g, property::GridRowCount), 1) << std::hex << g;
    for (rt::ControlId g : {control::GridA2, control::GridB2})
        for (int r = 0; r < 7; ++r) EXPECT_EQ(grid::call::getCellText(kMainWindow, g, r, 1), "") << std::hex << g;
    EXPECT_EQ(ups(), "48");
    EXPECT_EQ(property(control::TrialChoice, property::ComboSelection), 3);

    // An empty grid is cleared without a question.
    setUps("12");
    choose(kNew);
    EXPECT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(ups(), "48");
}

TEST_F(FileMenu, AnEditStillOpenIsPartOfTheOrderAndCannotOverwriteAnOpenedFile) {
    auto* orderGrid = qobject_cast<grid::CGridCtrl*>(widget(control::OrderGrid));
    ASSERT_NE(orderGrid, nullptr);
    auto typeInto = [&](int32_t row, const char* digits) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        orderGrid->setFocus();
        orderGrid->moveFocusTo(row, 1);
        for (const char* d = digits; *d; ++d) QTest::keyClicks(QApplication::focusWidget(), QString(QLatin1Char(*d)));
        ASSERT_TRUE(orderGrid->isEditing());
    };
    enterCells({{0, "1000"}});
    typeInto(2, "777");
    answers = {pathOf("typed.csv")};
    choose(kSave);
    EXPECT_EQ(readFile(pathOf("typed.csv")), savedFile(48, {"1000", "777"}));
    EXPECT_FALSE(orderGrid->isEditing());

    writeFile(pathOf("other.csv"), "5\n6\n");
    typeInto(1, "999");
    openFile(pathOf("other.csv"));
    QApplication::processEvents();
    widget(control::Ups)->setFocus();
    settle();
    EXPECT_EQ(cells(), (std::map<int, std::string>{{0, "5"}, {1, "6"}}));
}

// A menu click can arrive between two trials of a running calculation, and
// after its stop while it is still returning: each item refuses with its
// message then, and asks for no file.
TEST_F(FileMenu, EveryItemIsRefusedWhileACalculationRuns) {
    std::map<int, std::string> order;
    for (int i = 0; i < 40; ++i) order[i] = std::to_string(1000 + 37 * i);
    enterCells(order);
    setUps("30");
    chooseTrials(kThousandTrials);
    answers = {pathOf("x.csv"), pathOf("x.csv"), pathOf("x.csv"), pathOf("x.csv")};
    host.answer = rt::MessageButton::Yes;
    int rounds = 0;
    pressWatching([&] {
        if (rounds == 2 || trialShown() != (rounds == 0 ? "2" : "3")) return;
        if (rounds == 1) press();  // the stop: the caption is idle, the calculation not yet returned
        for (const char* item : {kNew, kOpen, kSave, kSaveAs}) choose(item);
        if (rounds == 0) ++rounds;
        else rounds = 2;
    });
    ASSERT_EQ(rounds, 2);
    ASSERT_EQ(host.boxes.size(), 8u);
    for (const app_test::Box& box : host.boxes)
        EXPECT_EQ(utf8Of(box.text),
                  "正在计算，不能新建、打开或保存订单。\r\n请等计算结束，或点击“结束计算”后再试。");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(cells(), order);
    EXPECT_EQ(ups(), "30");
    EXPECT_TRUE(folderNames(folder.path()).isEmpty());

    // Afterwards they work again.
    host.boxes.clear();
    choose(kSave);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(host.boxes.empty()) << lastBox();
}

// Writing as another user than root, for whom folders are writable whatever their mode.
class OrdinaryUser {
public:
    OrdinaryUser() : switched_(geteuid() == 0 && seteuid(65534) == 0) {}
    ~OrdinaryUser() {
        if (switched_) {
            EXPECT_EQ(seteuid(0), 0);
        }
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

private:
    bool switched_;
};

TEST_F(FileMenu, ASaveThatFailsSaysWhyAndLeavesTheOldFileWhole) {
    enterCells(kScattered);
    const std::string old = savedFile(10, {"1", "2"});

    // A folder the user may not write to.
    ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    const QString locked = pathOf("只读 文件夹");
    ASSERT_TRUE(QDir().mkdir(locked));
    const QString inLocked = locked + QString::fromUtf8("/订单.csv");
    writeFile(inLocked, old);
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0555), 0);
    answers = {inLocked};
    {
        OrdinaryUser user;
        choose(kSaveAs);
    }
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0755), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(lastBox(), "订单没有保存到 " + QDir::toNativeSeparators(inLocked).toStdString() +
                             "\r\n原因：没有写入这个文件夹或文件的权限\r\n原来的文件没有改变。");
    EXPECT_EQ(readFile(inLocked), old);
    EXPECT_EQ(folderNames(locked), QStringList{QString::fromUtf8("订单.csv")});
    EXPECT_TRUE(app::currentOrderFile().isEmpty());

    // A disk that fills up while the file is written: the write stops halfway.
    const QString full = pathOf("full.csv");
    writeFile(full, old);
    answers = {full};
    host.boxes.clear();
    struct rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit before = limit;
    limit.rlim_cur = 16;
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    choose(kSaveAs);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(lastBox().find("原因：磁盘已满或文件超出允许的大小\r\n原来的文件没有改变。"), std::string::npos)
        << lastBox();
    EXPECT_EQ(readFile(full), old);
    EXPECT_EQ(folderNames(folder.path()), QStringList{"full.csv"});

    // The same file once the disk has room.
    answers = {full};
    choose(kSave);
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(cellsOfFile(readFile(full)), kScattered);
}

TEST_F(FileMenu, TheDialogsAreQtsOwnWithTheOrderFilesFilter) {
    struct Seen {
        QString title;
        QStringList filters, selected;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        QString suffix, folder;
    } seen;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = {dialog->windowTitle(), dialog->nameFilters(),   dialog->selectedFiles(),
                dialog->acceptMode(),  dialog->defaultSuffix(), dialog->directory().absolutePath()};
        dialog->reject();
    });
    timer.start();
    const QString saved = app::askWithFileDialog(FileQuestion::Save, pathOf("订单.csv"));
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_EQ(seen.title, QString::fromUtf8("保存订单"));
    EXPECT_EQ(seen.filters,
              QStringList({QString::fromUtf8("订单文件 (*.csv *.txt)"), QString::fromUtf8("所有文件 (*)")}));
    EXPECT_EQ(seen.mode, QFileDialog::AcceptSave);
    EXPECT_EQ(seen.selected, QStringList{pathOf("订单.csv")});
    // A name typed without a suffix gets .csv.
    EXPECT_EQ(seen.suffix, QStringLiteral("csv"));

    const QString opened = app::askWithFileDialog(FileQuestion::Open, folder.path());
    timer.stop();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(seen.title, QString::fromUtf8("打开订单"));
    EXPECT_EQ(seen.mode, QFileDialog::AcceptOpen);
    EXPECT_EQ(seen.folder, QDir(folder.path()).absolutePath());
}

// ---- The saved file on the command line -----------------------------------------------

// A window text as the program prints it: UTF-8, lines ending in LF.
std::string printed(const std::string& gbkText) {
    const std::string text = platform::gbkToUtf8(gbkText);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

TEST_F(FileMenu, TheSavedFileGivesTheCommandLineTheWindowsOrderAndUps) {
    cli_test::CliFolder cliFolder;
    ASSERT_FALSE(cliFolder.path.empty());
    std::map<int, std::string> order;
    for (int i = 0; i < 150; i += 3) order[i] = std::to_string(500 + (i * 7919) % 20000);
    enterCells(order);
    setUps("40");
    chooseTrials(kTenTrials);
    constexpr uint64_t kSeed = 11;
    calc::setTrialOrderingsForTesting([] { return calc::seededOrderings(kSeed); });
    press();
    ASSERT_TRUE(host.boxes.empty()) << lastBox();
    std::string window = printed(report()) + "\n";
    if (property(control::Difference, rt::prop::Visible))
        window += printed(text(control::Difference, property::LabelCaption)) + "\n";

    const QString path = pathOf("命令行 订单.csv");
    answers = {path};
    choose(kSaveAs);
    ASSERT_TRUE(QFile::exists(path));
    const std::string file = path.toStdString();

    // No --ups: the file's 模数 is the window's ups.
    const cli_test::Outcome reportRun =
        cli_test::runCli(cliFolder.path, {"--file", file, "--report", "--trials", "10", "--seed", std::to_string(kSeed),
                                          "--time-limit", "3600"});
    EXPECT_EQ(reportRun.status, 0) << reportRun.err;
    EXPECT_EQ(reportRun.out, window);
    EXPECT_EQ(reportRun.err, "");

    // The plain layout is that of the same quantities given on the command line.
    std::vector<std::string> byArguments = {"--ups", "40", "--"};
    for (int32_t q : calc::state().order.quantities) byArguments.push_back(std::to_string(q));
    // (50 styles do not fit on one plate of 40: both say so and exit with 1.)
    const cli_test::Outcome fromFile = cli_test::runCli(cliFolder.path, {"--file", file});
    const cli_test::Outcome fromArguments = cli_test::runCli(cliFolder.path, byArguments);
    EXPECT_EQ(fromFile.status, 1) << fromFile.err;
    EXPECT_EQ(fromFile.status, fromArguments.status);
    EXPECT_EQ(fromFile.out, fromArguments.out);
    EXPECT_EQ(fromFile.err, fromArguments.err);
    // --ups given wins over the file's.
    byArguments[1] = "41";
    EXPECT_EQ(cli_test::runCli(cliFolder.path, {"--file", file, "--ups", "41"}).out,
              cli_test::runCli(cliFolder.path, byArguments).out);
}

}  // namespace
