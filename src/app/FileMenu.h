// The menu items 新建, 打开, 保存 and 另存为: the order and its ups written to
// an order file and read back (calc/OrderFile.h), and the order cleared.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace app {

// Largest file 打开 reads; order files are a few kilobytes.
inline constexpr int64_t kMaxOrderFileBytes = 10 * 1024 * 1024;

enum class FileQuestion { Open, Save };

// Asks the user for a file: the path chosen, or empty when the user cancels.
// `proposed` is where the question starts: a file name for Save, a folder for Open.
using FileNameAsker = std::function<QString(FileQuestion question, const QString& proposed)>;

// The file dialogs of the program (Qt's, with the order files' filter; a
// file saved without a suffix gets .csv).
QString askWithFileDialog(FileQuestion question, const QString& proposed);
// Replaces the file dialogs, so that a test answers instead of a user; an
// empty function restores them.
void setFileNameAskerForTesting(FileNameAsker asker);

// Click handlers of the menu items. While a calculation runs each refuses
// with a message and changes nothing.
void onNewMenu();
void onOpenMenu();
void onSaveMenu();
void onSaveAsMenu();

// The file 保存 writes to without asking; empty when it will ask.
QString currentOrderFile();

}  // namespace app
