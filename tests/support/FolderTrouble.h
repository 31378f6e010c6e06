#pragma once
// Real trouble with the user's files, for tests that run in a child process of their own (a death
// test): a read-only or full folder, and a file the process may not read. Root ignores file
// permissions, so the real cases use what root cannot ignore: a read-only bind mount and a tiny
// tmpfs in a mount namespace of the child's own, or privileges dropped to an unprivileged user.
// Where the system allows none of that, the platform's injected-fault seam stands in.

#include <string>

enum class FolderTrouble { READ_ONLY, FULL };

// Makes 'folder' read-only or full until the process ends: its files stay readable, new files
// cannot be created in it (read-only) or no byte more can be written in it (full). Files already
// open stay writable. Returns how: "mount" (a bind mount or tmpfs of its own), "permissions" (an
// unprivileged process and a folder mode without write access) or "seam" (injected failures).
std::string makeFolderTrouble(const std::string& folder, FolderTrouble trouble);

// Makes 'path' unreadable for this process: mode 0 and, when running as root, the process becomes
// an unprivileged user that owns everything under 'tree' (so it can still use its folder). Returns
// "permissions" or "seam" (an injected EACCES on opening the file).
std::string makeFileUnreadable(const std::string& path, const std::string& tree);
