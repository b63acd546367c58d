// The codes that say what kind of line a line is and how it ends, the check of every command
// against ChiWriter's own, and the space that joins the lines of one paragraph.
#pragma once

#include <string>

#include "base/char_sets.h"
#include "base/commands.h"
#include "base/document_state.h"
#include "base/font_kind.h"
#include "base/line_group.h"

namespace pomvex {

struct LineControls {
  bool pageBreak = false;     // a form feed: the paragraph line is followed by "\page"
  bool paragraphEnd = false;  // "\,": the group closes its paragraph
  bool equalsSeen = false;    // "\=": an equals line, which also suppresses the joining space
};

// What the command check met in a group.
struct CommandCheck {
  bool unknown = false;           // an unknown command
  bool hyphenationMarks = false;  // "\A" or "\B"
  CharSet commands;               // the characters of all the group's commands
};

// Reports unknown commands (category 2) and lines ending in a lone backslash (category 1).
CommandCheck CheckCommands(Reporter& report, const LineGroup& group);
// Takes out of every line of the group the commands that look like the converter's own
// in-line markers ("\:", "\<", "\>" of script runs, "\D", "\R" of tab text, "\L", "\E" of
// line drawing). ChiWriter has no such commands: they are reported as unknown, and left in the
// text they would be taken for the converter's markers and open or close RTF groups that do not
// pair up. They take no column, so the script merge is not affected.
void RemoveStrayMarkers(LineGroup& group);
// Removes the line-type and line-end codes from every line of the group; gives the flags.
// Only the first occurrence of each code in a line is removed, and only where a command begins:
// in a literal backslash "\\" followed by "-", the second backslash starts no code.
LineControls StripLineControls(LineGroup& group);
// What the walk that prepares one line of a group found.
struct LineScan {
  bool unknown = false;           // the line as read holds an unknown command...
  bool hyphenationMarks = false;  // ... or "\A" or "\B"
  CommandSummary kept;            // the commands of the line as left
  FontKind lastSwitch = NONE;     // the kind of its last font switch as left; NONE for none
};
// Prepares one line of a freshly read group in one walk, command by command: reports as
// CheckCommands does, and leaves the line as RemoveStrayMarkers and then StripLineControls
// would, the flags of its codes added to controls. slot is the line's place in its group (for a
// report that shows where a problem stands); mayHoldFormFeed is false for a line known to hold
// no form feed.
LineScan PrepareLine(Reporter& report, const FontSlotTable& slots, std::string& line, int slot,
                     bool mayHoldFormFeed, LineControls& controls);

// Appends one space to the main line when the paragraph goes on in the next group; gives
// whether it did.
bool AddJoiningSpace(LineGroup& group, const LineControls& controls);

}  // namespace pomvex
