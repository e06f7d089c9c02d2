#pragma once
// Native file dialogs with filters written as "Description|pattern;pattern|..."
// and a plain message box.
#include <optional>
#include <string>

class QWidget;

namespace ui {

class CWindowWnd;

// "Profile Files(*.json)|*.json;" -> "Profile Files(*.json)"; descriptions
// without a pattern list get one: "(*.png) | *.png |(*.*)|*.*||" ->
// "(*.png);;(*.*)". Pairs are separated by ";;" as Qt expects.
std::string ToQtFilter(const std::string& filter);

// Returns the chosen path; nullopt on cancel. Open dialogs require an
// existing file. defaultExt is appended to a saved name without one.
std::optional<std::string> OpenFileDialog(CWindowWnd* owner, const std::string& filter,
                                          const std::string& initialName = {});
std::optional<std::string> SaveFileDialog(CWindowWnd* owner, const std::string& filter,
                                          const std::string& initialName = {},
                                          const std::string& defaultExt = {});

// A plain message box with an OK button.
void ShowPlainMessageBox(CWindowWnd* owner, const std::string& text, const std::string& title);

}  // namespace ui
