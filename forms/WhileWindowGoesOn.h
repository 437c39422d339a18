#pragma once
// Work that reads many files (a mirror's digests, its copies and retags) runs on a thread of its
// own while the GUI thread goes on with the windows.
#include <functional>

// Returns once work is done.
void WhileWindowGoesOn(const std::function<void()>& work);
