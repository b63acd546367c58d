// Directory listings as the window's lists show them and the folder walk uses them: hidden
// entries (names beginning with "."; on Windows those with the hidden or system attribute) left
// out, sorted by name without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pomvex {

// Names of the ordinary files of dir. With chiOnly, only those matching "*.chi" in any case;
// with withHidden, hidden files as well. A folder that cannot be listed throws RunFailure with
// its path.
std::vector<std::string> ListFiles(const std::string& dir, bool chiOnly, bool withHidden = false);
// Names of the sub-folders of dir; links to folders (symbolic links, junctions) are left out.
std::vector<std::string> ListSubFolders(const std::string& dir);
// Names of the sub-folders of dir and of the symbolic links in it that lead to a directory: the
// folders a user can choose to start from (the walk itself never follows a link).
std::vector<std::string> ListSubFoldersAndLinks(const std::string& dir);
// Position of the "." that starts the extension of path's file name; npos when it has none.
std::size_t ExtensionDot(const std::string& path);
// Upper-cased extension of a path, from its last "." within the file name ("" when none).
std::string UpperExtension(const std::string& path);
bool IsChiFile(const std::string& path);
// name with every control character (codes 0 to 31 and 127) written as "?", for the log and
// the terminal: a line feed in a file name must not split a log line, nor an escape sequence
// reach a terminal.
std::string PrintableName(std::string_view name);
// A problem's text for the log with every control character but the tab written as "?": a
// problem that quotes a document's line must not carry a line feed or an escape sequence there.
std::string PrintableText(std::string_view text);

}  // namespace pomvex
