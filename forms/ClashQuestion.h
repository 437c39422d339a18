#pragma once
// The box that names outputs several originals would write, one line each ("OUTPUT  <-  FIRST,
// SECOND"): the user keeps the folder tree, where that parts them, or goes back.
#include <string>
#include <vector>

class QWidget;

// True when the user chose to keep the folder tree (offered only when treeHelps).
bool AskAboutClashes(QWidget& window, const std::vector<std::string>& clashes, bool treeHelps);
