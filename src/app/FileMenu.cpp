// The file menu's order items: 新建 clears the order and its results, 打开
// fills the order grid from a file, 保存 and 另存为 write the order to one.
#include "app/FileMenu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "app/FileStore.h"
#include "app/FileTexts.h"
#include "app/Globals.h"
#include "calc/CalcState.h"
#include "calc/CalcTexts.h"
#include "calc/ComputeCommand.h"
#include "calc/Controls.h"
#include "calc/OrderFile.h"
#include "calc/OrderInput.h"
#include "calc/OrderText.h"
#include "calc/ResultTables.h"
#include "calc/WindowText.h"
#include "forms/Units.h"
#include "grid/GridCtrl.h"
#include "platform/Gbk.h"
#include "runtime/Commands.h"
#include "runtime/Host.h"
#include "runtime/Numbers.h"
#include "runtime/Properties.h"

namespace app {
namespace {

using calc::kMainWindow;
namespace control = calc::control;
namespace property = calc::property;
namespace ft = filetexts;

constexpr int32_t kPlainOkBox = 0;
constexpr int32_t kYesNoQuestion = rt::mb::YesNo | rt::mb::IconQuestion;
constexpr int32_t kAnsweredYes = 5;  // the message command's number for the Yes button
// The ups box and the trial choice as the window starts: 48 ups, 随机500次.
constexpr char kStartUps[] = "48";
constexpr int32_t kStartTrialChoice = 3;
// Characters of an entry a message shows; longer ones are cut.
constexpr size_t kShownEntryChars = 24;
constexpr char kSavedSuffix[] = "csv";

FileNameAsker& testAsker() {
    static FileNameAsker asker;
    return asker;
}

QString fromGbk(const char* gbk) { return QString::fromStdString(platform::gbkToUtf8(gbk)); }
std::string gbkPath(const QString& path) {
    return platform::utf8ToGbk(QDir::toNativeSeparators(path).toStdString());
}

int32_t showPrompt(const std::string& gbk, int32_t flags = kPlainOkBox) {
    return rt::cmd::showMessage(rt::TaggedArg::ofText(gbk.c_str()), flags, texts::PromptCaption);
}

void writeText(rt::ControlId c, rt::PropertyIndex index, const char* gbk) {
    rt::WriteProperty(kMainWindow, c, index, -1, rt::Words::ofPointer(gbk));
}
void writeInt(rt::ControlId c, rt::PropertyIndex index, int32_t value) {
    rt::WriteProperty(kMainWindow, c, index, -1, rt::Words::ofInt(value));
}

// A calculation is on the stack (it processes events between its trials,
// so a menu click can arrive inside it) or its caption still says it runs.
bool refusedWhileCalculating() {
    const bool running = calc::calculationActive() ||
                         calc::textProperty(control::Compute, property::ButtonCaption) == calc::texts::ComputeRunning;
    if (running) showPrompt(ft::BusyCalculating);
    return running;
}

// An edit still open in the order grid ends and commits as a click elsewhere
// would, so that what the user typed belongs to the order that is saved or
// cleared, and so that it cannot land in a cell after the grid was refilled.
void endOpenEdit() {
    auto* grid = qobject_cast<grid::CGridCtrl*>(forms::widgetOf(kMainWindow, control::OrderGrid));
    if (!grid || !grid->isEditing()) return;
    grid->setFocus(Qt::OtherFocusReason);
    // In a window that is not active the focus does not move; the editor is
    // told that it lost the focus all the same.
    if (QWidget* editor = grid->editorWidget()) {
        QFocusEvent lost(QEvent::FocusOut, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(editor, &lost);
    }
}

QString currentFile() { return QString::fromStdString(globals().orderFile); }

void remember(const QString& path, bool asCurrent) {
    globals().lastOrderFolder = QFileInfo(path).absolutePath().toStdString();
    globals().orderFile = asCurrent ? path.toStdString() : std::string();
}

QString ask(FileQuestion question) {
    QString folder = QString::fromStdString(globals().lastOrderFolder);
    if (folder.isEmpty()) folder = QDir::homePath();
    QString proposed = folder;
    if (question == FileQuestion::Save)
        proposed = currentFile().isEmpty() ? QDir(folder).filePath(fromGbk(ft::ProposedName)) : currentFile();
    return testAsker() ? testAsker()(question, proposed) : askWithFileDialog(question, proposed);
}

// The results of an earlier calculation, which belong to another order:
// report, labels, result grids and radio boxes as at start-up.
void clearResults() {
    calc::resetState();
    writeText(control::Report, property::EditContent, "");
    writeText(control::Difference, property::LabelCaption, "");
    writeInt(control::Difference, rt::prop::Visible, 0);
    writeText(control::TrialCounter, property::LabelCaption, "");
    calc::clearResultTables();
    for (rt::ControlId radio : {control::OnePlate, control::TwoPlates}) {
        writeInt(radio, property::RadioChecked, 0);
        writeInt(radio, rt::prop::Visible, 0);
        writeInt(radio, rt::prop::Disabled, 0);
    }
}

// ---- Messages ---------------------------------------------------------------------

std::string entryLines(const calc::OrderFileEntries& entries) {
    std::string lines;
    for (const calc::OrderFileEntry& entry : entries.named)
        lines += ft::EntryLineHead + rt::formatInt(entry.line) + ft::EntryLineTail +
                 platform::utf8ToGbk(calc::printableField(entry.text, kShownEntryChars));
    if (entries.count > static_cast<int64_t>(entries.named.size())) lines += ft::MoreEntries;
    return lines;
}

// What was left out of a loaded order, or an empty text when nothing was.
std::string leftOutText(const calc::OrderFile& file) {
    std::string text;
    if (file.rejected.count > 0)
        text += ft::RejectedHead + rt::formatInt(file.rejected.count) + ft::RejectedTail + entryLines(file.rejected);
    if (file.beyond.count > 0)
        text += ft::BeyondHead + rt::formatInt(file.beyond.count) + ft::BeyondMiddle +
                rt::formatInt(calc::orderCellCount()) + ft::BeyondTail + entryLines(file.beyond);
    return text;
}

std::string openFailedText(const QString& path, const char* reason, const std::string& details = {}) {
    return ft::OpenFailedHead + gbkPath(path) + reason + details + ft::OrderUnchanged;
}

const char* saveFailureReason(int error) {
    switch (error) {
        case EACCES: case EPERM: return ft::ReasonNoPermission;
        case ENOSPC: case EDQUOT: case EFBIG: return ft::ReasonDiskFull;
        case EROFS: return ft::ReasonReadOnly;
        case ENOENT: case ENOTDIR: return ft::ReasonNoFolder;
        case EISDIR: return ft::ReasonIsFolder;
        default: return nullptr;
    }
}

std::string saveFailedText(const QString& path, int error, bool existed) {
    std::string text = ft::SaveFailedHead + gbkPath(path) + ft::SaveFailedReason;
    if (const char* reason = saveFailureReason(error)) text += reason;
    else text += ft::ReasonOther + rt::formatInt(error) + " (" + std::strerror(error) + ")";
    if (existed) text += ft::SaveKeptOld;
    return text;
}

// ---- The items ----------------------------------------------------------------------

void saveOrder(bool askAlways) {
    if (refusedWhileCalculating()) return;
    endOpenEdit();
    const std::vector<int32_t> cells = calc::orderCells();
    if (std::none_of(cells.begin(), cells.end(), [](int32_t q) { return q != 0; })) {
        showPrompt(ft::NothingToSave);
        return;
    }
    QString path = askAlways ? QString() : currentFile();
    if (path.isEmpty()) path = ask(FileQuestion::Save);
    if (path.isEmpty()) return;

    // The ups box stands for 1 when left empty or below 1, as it does on leaving it.
    const int32_t ups = std::max(calc::intOfTextProperty(control::Ups, property::EditContent), 1);
    const bool existed = QFileInfo::exists(path);
    const FileWrite written = replaceFileContents(path, calc::formatOrderFile(cells, ups));
    if (!written.ok()) {
        showPrompt(saveFailedText(path, written.error, existed));
        return;
    }
    remember(path, true);
}

}  // namespace

QString askWithFileDialog(FileQuestion question, const QString& proposed) {
    const bool saving = question == FileQuestion::Save;
    QFileDialog dialog(forms::widgetOf(kMainWindow, control::Window), fromGbk(saving ? ft::SaveTitle : ft::OpenTitle),
                       {}, fromGbk(ft::FileFilter));
    if (saving) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(kSavedSuffix);
        dialog.setDirectory(QFileInfo(proposed).absolutePath());
        dialog.selectFile(QFileInfo(proposed).fileName());
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDirectory(proposed);
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

void setFileNameAskerForTesting(FileNameAsker asker) { testAsker() = std::move(asker); }

QString currentOrderFile() { return currentFile(); }

void onNewMenu() {
    if (refusedWhileCalculating()) return;
    endOpenEdit();
    if (calc::orderGridHoldsAnything() && showPrompt(ft::ClearOrderQuestion, kYesNoQuestion) != kAnsweredYes) return;
    clearResults();
    calc::fillOrderCells({});
    writeText(control::Ups, property::EditContent, kStartUps);
    writeInt(control::TrialChoice, property::ComboSelection, kStartTrialChoice);
    globals().orderFile.clear();
}

void onOpenMenu() {
    if (refusedWhileCalculating()) return;
    endOpenEdit();
    const QString path = ask(FileQuestion::Open);
    if (path.isEmpty()) return;

    const FileRead read = readFileCapped(path, kMaxOrderFileBytes);
    if (read.status != FileRead::Status::Read) {
        const bool tooLarge = read.status == FileRead::Status::TooLarge;
        showPrompt(openFailedText(path, tooLarge ? ft::OpenTooLarge : ft::OpenUnreadable));
        return;
    }
    const int32_t cellCount = calc::orderCellCount();
    const calc::OrderFile file = calc::parseOrderFile(read.bytes, cellCount);
    if (!file.text) {
        showPrompt(openFailedText(path, ft::OpenNotText));
        return;
    }
    if (file.quantities.empty()) {
        showPrompt(openFailedText(path, ft::OpenNoQuantities, leftOutText(file)));
        return;
    }

    std::vector<int32_t> cells(static_cast<size_t>(cellCount), 0);
    for (const calc::PlacedQuantity& q : file.quantities) cells[static_cast<size_t>(q.position)] = q.quantity;
    clearResults();
    calc::fillOrderCells(cells);
    if (file.ups) writeText(control::Ups, property::EditContent, rt::formatInt(*file.ups).c_str());
    // Only a file that says no more than 保存 writes is written back to by
    // 保存; any other (a spreadsheet's export with more columns) would lose
    // its other contents.
    remember(path, file.plain);

    const std::string leftOut = leftOutText(file);
    if (!leftOut.empty())
        showPrompt(ft::LoadedHead + rt::formatInt(calc::state().order.styleCount) + ft::LoadedTail + leftOut);
}

void onSaveMenu() { saveOrder(false); }
void onSaveAsMenu() { saveOrder(true); }

}  // namespace app
